# Sourced by the scripts that weigh a tool against slipreport: builds the
# release targets given to it, copies the example model into a scratch folder
# and defines `count COMMAND...`, callgrind's instruction total of the whole
# process run in that folder.
#
#   source bench/callgrind_count.sh TARGET...
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${BUILD_DIR:-build-release}
cmake -B "$build" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "$@" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat "$work/"
count() {
  (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" >/dev/null 2>"$work/valgrind.log" || true)
  grep -E '^(summary|totals):' "$work/cg.out" | head -1 | awk '{print $2}'
}
