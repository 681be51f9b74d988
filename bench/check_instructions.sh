#!/usr/bin/env bash
# Instruction counts (callgrind, whole process) of slipcheck beside slipreport
# on the bundled example model, in a release build: checking a model costs at
# most three times a run on it.
set -euo pipefail
source "$(dirname "$0")/callgrind_count.sh" slipreport slipcheck
run=$(count "$(realpath "$build/slipreport")")
check=$(count "$(realpath "$build/slipcheck")")
printf 'slipreport run:   %s instructions\n' "$run"
printf 'slipcheck check:  %s instructions (%s times the run)\n' "$check" "$(awk -v a="$check" -v b="$run" 'BEGIN {printf "%.2f", a / b}')"
