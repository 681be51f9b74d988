#!/usr/bin/env bash
# Instruction count (callgrind, whole process) and peak memory of one run of
# the tool, in a release build, on the bundled example model and on the same
# subfaults written by make_model's styles (mixed, e5, list17), sparse as the
# example and dense (almost every sample a different nonzero value), and
# written as a list-directed WRITE pads them with rates spread over 1e-4 to
# 5 m/s (listwrite-spread). Beside
# each run, the baseline: a process that reads the model whole and converts
# every token with fast_float's from_chars (bench/baseline), and the run's
# ratio to it.
#
#   bash bench/instructions.sh [--top] [--times]
#     --top    callgrind's most expensive functions of each run
#     --times  the Google Benchmark times of the same (wholeRun, readModel,
#              fastFloatEveryToken), for information: they vary with the machine's load
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
top=false
times=false
for option in "$@"; do
  case $option in
    --top) top=true ;;
    --times) times=true ;;
    *) echo "usage: bash bench/instructions.sh [--top] [--times]" >&2; exit 64 ;;
  esac
done
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF -DSLIP_BENCH=ON >/dev/null
targets=(slipreport make_model every_token)
if $times; then targets+=(slip_bench); fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tool=$(realpath "$build/slipreport")
baseline=$(realpath "$build/bench/every_token")
values=$((946 * 108))

instructions() {  # callgrind's total of a run in folder $1 of program $2, output file $3
  (cd "$1" && valgrind --tool=callgrind --callgrind-out-file="$3" "$2" 2>"$3.log" >/dev/null)
  grep -E '^(summary|totals):' "$3" | head -1 | awk '{print $2}'
}

models=(example e5 list17 mixed-dense e5-dense list17-dense listwrite-spread)
printf '%-16s %8s %11s %8s %11s %9s %10s\n' model bytes 'run Ir' 'Ir/value' 'baseline Ir' 'run/base' 'peak KiB'
for model in "${models[@]}"; do
  dir=$work/$model
  mkdir "$dir"
  case $model in
    example) cp examples/rateA.dat "$dir/" ;;
    *-dense) "$build/make_model" 1 "$dir/rateA.dat" "${model%-dense}" dense ;;
    *-spread) "$build/make_model" 1 "$dir/rateA.dat" "${model%-spread}" spread ;;
    *) "$build/make_model" 1 "$dir/rateA.dat" "$model" sparse ;;
  esac
  bytes=$(stat -c %s "$dir/rateA.dat")
  run=$(instructions "$dir" "$tool" "$work/$model.out")
  base=$(instructions "$dir" "$baseline" "$work/$model.base.out")
  (cd "$dir" && /usr/bin/time -v "$tool" 2>"$work/$model.time")
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/$model.time")
  printf '%-16s %8s %11s %8s %11s %9s %10s\n' "$model" "$bytes" "$run" \
    "$(awk -v a="$run" -v n="$values" 'BEGIN {printf "%.1f", a / n}')" "$base" \
    "$(awk -v a="$run" -v b="$base" 'BEGIN {printf "%.2f", a / b}')" "$peak"
done
echo "(Ir: callgrind instructions of the whole process, start-up included; $values values a model)"

if $top; then
  for model in "${models[@]}"; do
    echo "== $model"
    callgrind_annotate "$work/$model.out" >"$work/$model.top" 2>/dev/null
    awk '/file:function/ {on = 1} on && shown++ < 14' "$work/$model.top"
  done
fi
if $times; then
  "$build/bench/slip_bench" --benchmark_filter='^(wholeRun|readModel|fastFloatEveryToken)/'
fi
