#!/usr/bin/env bash
# Instruction count (callgrind, whole process) and peak memory of one run of
# the tool on the bundled example model, in a release build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target slipreport >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat "$work/"
tool=$(realpath "$build/slipreport")
(cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$tool" 2>"$work/valgrind.log")
instructions=$(grep -E '^(summary|totals):' "$work/callgrind.out" | head -1 | awk '{print $2}')
(cd "$work" && /usr/bin/time -v "$tool" 2>"$work/time.log")
peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.log")
printf 'instructions (callgrind Ir, whole process): %s\n' "$instructions"
printf 'peak resident memory: %s KiB\n' "$peak"
if [ "${1:-}" = "--top" ]; then
  callgrind_annotate "$work/callgrind.out" 2>/dev/null | head -40
fi
