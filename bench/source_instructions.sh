#!/usr/bin/env bash
# Instruction counts (callgrind, whole process) of slipsource beside slipreport
# on the bundled example model, in a release build: the source summary and its
# moment-rate table cost at most three times a run on the model (reading the
# model with slipcheck's checks is most of it); --all (the table and the FSP,
# SRF, GeoJSON and KML files) at most five times.
set -euo pipefail
source "$(dirname "$0")/callgrind_count.sh" slipreport slipsource
run=$(count "$(realpath "$build/slipreport")")
source=$(count "$(realpath "$build/slipsource")" --mr mr.txt)
printf 'slipreport run:             %s instructions\n' "$run"
printf 'slipsource --mr mr.txt:     %s instructions (%s times the run)\n' "$source" \
  "$(awk -v a="$source" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
awk -v a="$source" -v b="$run" 'BEGIN {exit !(a <= 3 * b)}' || { echo "more than three times the run" >&2; exit 1; }
all=$(count "$(realpath "$build/slipsource")" --all ex --depth 16)
printf 'slipsource --all ex --depth 16: %s instructions (%s times the run)\n' "$all" \
  "$(awk -v a="$all" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
awk -v a="$all" -v b="$run" 'BEGIN {exit !(a <= 5 * b)}' || { echo "--all: more than five times the run" >&2; exit 1; }
