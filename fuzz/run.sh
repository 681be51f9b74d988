#!/usr/bin/env bash
# Builds every fuzz target with clang and runs each for SECONDS seconds, or
# for the seconds given to it by name (fuzz/run.sh 20 options=30).
# Fails on the first finding; its input is left in build-fuzz/artifacts/.
set -euo pipefail

seconds=${1:?usage: fuzz/run.sh SECONDS [NAME=SECONDS ...]}
shift
declare -A given=()
# The structure reader is a small line scanner: 20 s covers it, and keeps CI short.
given[structure]=$((seconds < 20 ? seconds : 20))
# slipdeform's stations lines and --grid value are smaller still.
given[stations]=$((seconds < 10 ? seconds : 10))
given[grid]=$((seconds < 5 ? seconds : 5))
for pair in "$@"; do given[${pair%%=*}]=${pair#*=}; done
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DSLIP_FUZZ=ON -DSLIP_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2

mkdir -p "$build/artifacts"
for source in "$root"/fuzz/*_fuzz.cpp; do
  name=$(basename "$source" _fuzz.cpp)
  # New inputs go to a working corpus in the build folder; the seeds stay as committed.
  work=$build/corpus/$name
  mkdir -p "$work"
  limit=${given[$name]:-$seconds}
  echo "== ${name}_fuzz for ${limit}s"
  "$build/fuzz/${name}_fuzz" -max_total_time="$limit" -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/${name}-" -print_final_stats=1 \
    "$work" "$root/fuzz/corpus/$name"
done
