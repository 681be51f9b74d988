#!/usr/bin/env bash
# Instruction counts (callgrind, whole process) of slipsource beside slipreport
# on the bundled example model, in a release build: the source summary and its
# moment-rate table cost at most twice a run on the model; --all (the table
# and the FSP, SRF, GeoJSON and KML files) at most four times.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target slipreport slipsource >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat "$work/"
count() {
  (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" >/dev/null 2>"$work/valgrind.log" || true)
  grep -E '^(summary|totals):' "$work/cg.out" | head -1 | awk '{print $2}'
}
run=$(count "$(realpath "$build/slipreport")")
source=$(count "$(realpath "$build/slipsource")" --mr mr.txt)
printf 'slipreport run:             %s instructions\n' "$run"
printf 'slipsource --mr mr.txt:     %s instructions (%s times the run)\n' "$source" \
  "$(awk -v a="$source" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
awk -v a="$source" -v b="$run" 'BEGIN {exit !(a <= 2 * b)}' || { echo "more than twice the run" >&2; exit 1; }
all=$(count "$(realpath "$build/slipsource")" --all ex --depth 16)
printf 'slipsource --all ex --depth 16: %s instructions (%s times the run)\n' "$all" \
  "$(awk -v a="$all" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
awk -v a="$all" -v b="$run" 'BEGIN {exit !(a <= 4 * b)}' || { echo "--all: more than four times the run" >&2; exit 1; }
