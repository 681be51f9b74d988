#!/usr/bin/env bash
# Instruction counts (callgrind, whole process) of slipcheck and slipmap
# beside slipreport on the bundled example model, in a release build:
# checking a model costs at most two times a run on it; slipmap draws the
# run's report with the model at hand (the moment-rate panel).
set -euo pipefail
source "$(dirname "$0")/callgrind_count.sh" slipreport slipcheck slipmap
run=$(count "$(realpath "$build/slipreport")")
check=$(count "$(realpath "$build/slipcheck")")
map=$(count "$(realpath "$build/slipmap")")
times() { awk -v a="$1" -v b="$run" 'BEGIN {printf "%.2f", a / b}'; }
printf 'slipreport run:   %s instructions\n' "$run"
printf 'slipcheck check:  %s instructions (%s times the run)\n' "$check" "$(times "$check")"
printf 'slipmap figure:   %s instructions (%s times the run)\n' "$map" "$(times "$map")"
