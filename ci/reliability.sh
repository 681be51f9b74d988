#!/usr/bin/env bash
# Reliability stages beside the normal build:
#  1. the whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#     (folder build-asan), so every test and every run of the tool the tests make
#     is checked for memory and undefined-behaviour faults;
#  2. one run of the normal build's tool on the example model under valgrind,
#     which must report no error.
# Usage: ci/reliability.sh [NORMAL_BUILD_DIR]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
normal=${1:-build}
case $normal in /*) ;; *) normal=$root/$normal ;; esac
asan=$root/build-asan

echo "== sanitizer build and tests (build-asan)"
cmake -S "$root" -B "$asan" -DSLIP_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$asan" -j2
# Leaks are faults too; a finding stops the run with a nonzero status.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$asan" -j2 --output-on-failure --no-tests=error

echo "== the example model under valgrind"
if [ ! -x "$normal/slipreport" ]; then
  cmake -S "$root" -B "$normal"
  cmake --build "$normal" -j2 --target slipreport
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/examples/rateA.dat" "$work/"
(cd "$work" && valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
  "$normal/slipreport")
cmp "$work/rateA-out4.csv" "$root/tests/data/example-report.csv"
echo "valgrind: no error; the report matches the checked copy"
echo "== reliability stages took ${SECONDS} s"
