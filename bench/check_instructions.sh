#!/usr/bin/env bash
# Instruction counts (callgrind, whole process) of slipcheck beside slipreport
# on the bundled example model, in a release build: checking a model costs at
# most three times a run on it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target slipreport slipcheck >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat "$work/"
count() {
  (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" >/dev/null 2>"$work/valgrind.log" || true)
  grep -E '^(summary|totals):' "$work/cg.out" | head -1 | awk '{print $2}'
}
run=$(count "$(realpath "$build/slipreport")")
check=$(count "$(realpath "$build/slipcheck")")
printf 'slipreport run:   %s instructions\n' "$run"
printf 'slipcheck check:  %s instructions (%s times the run)\n' "$check" "$(awk -v a="$check" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
