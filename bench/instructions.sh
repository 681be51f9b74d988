#!/usr/bin/env bash
# Instruction count (callgrind, whole process) and peak memory of one run of
# the tool, in a release build, on the bundled example model and on the same
# model written densely by make_model's e5 and list17 styles.
#
#   bash bench/instructions.sh [--top]      (--top: callgrind's top functions)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target slipreport make_model >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tool=$(realpath "$build/slipreport")
printf '%-8s %10s %28s %22s\n' style bytes 'instructions (callgrind Ir)' 'peak resident (KiB)'
for style in example e5 list17; do
  mkdir "$work/$style"
  if [ "$style" = example ]; then
    cp examples/rateA.dat "$work/$style/"
  else
    "$build/make_model" 1 "$work/$style/rateA.dat" "$style"
  fi
  bytes=$(stat -c %s "$work/$style/rateA.dat")
  (cd "$work/$style" && valgrind --tool=callgrind --callgrind-out-file="$work/$style.out" "$tool" 2>"$work/$style.log")
  instructions=$(grep -E '^(summary|totals):' "$work/$style.out" | head -1 | awk '{print $2}')
  (cd "$work/$style" && /usr/bin/time -v "$tool" 2>"$work/$style.time")
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/$style.time")
  printf '%-8s %10s %28s %22s\n' "$style" "$bytes" "$instructions" "$peak"
done
if [ "${1:-}" = "--top" ]; then
  for style in example e5 list17; do
    echo "== $style"
    callgrind_annotate "$work/$style.out" 2>/dev/null | sed -n '/Ir/,$p' | head -25
  done
fi
