#!/usr/bin/env bash
# The release packages, built and used as a user would use them: the .deb
# unpacked with dpkg -x and the .tar.gz unpacked, each running its four
# programs on the example model it carries and showing their manual pages
# with man -l; the Windows .zip unpacked and its
# slipreport.exe and slipmap.exe run under Wine on the example beside it.
#
#   bash ci/packages.sh     (after ci/windows.sh, whose build-win and Wine prefix it uses)
#
# The packages are left in build-packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-packages
rm -rf "$out"
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
report=$root/tests/data/example-report.csv
figure=$root/docs/rateA-out4.svg

crlf() { perl -pe 's/\n/\r\n/g' "$@"; }

# readme_links DOC: every relative link and image of the installed README
# leads to a file the package holds.
readme_links() {
  local link
  for link in $(grep -o '](\([^)#:]*\))' "$1/README.md" | sed 's/^](//; s/)$//'); do
    [ -e "$1/$link" ] || { echo "the installed README links to $link, which the package does not hold" >&2; return 1; }
  done
}

# users_readme DOC: the installed README is the users': no passage about
# building, CI or benchmarks.
users_readme() {
  if grep -n 'build/\|bench/\|ci/\|ctest\|<!--' "$1/README.md" >&2; then
    echo "the installed README has the developers' passages above" >&2
    return 1
  fi
}

# man_pages BIN MAN: every program has its manual page, and man shows each
# without a complaint, under NAME the program's own name.
man_pages() {
  local bin=$1 man=$2 program shown
  for program in $(ls "$bin"); do
    [ -f "$man/$program.1" ] || { echo "no manual page $man/$program.1" >&2; return 1; }
    shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$man/$program.1" 2>"$scratch/man.err")
    [ ! -s "$scratch/man.err" ] || { cat "$scratch/man.err" >&2; echo "man -l $program.1 complains" >&2; return 1; }
    grep -A1 '^NAME' <<<"$shown" | grep -Eq "^ *$program +- " || { echo "$program.1 names no $program" >&2; return 1; }
  done
}

# try_programs BIN DOC: runs the four programs of an unpacked package on the
# example model it carries, in a folder of their own.
try_programs() {
  local bin=$1 doc=$2 work
  work=$(mktemp -d "$scratch/run.XXXXXX")
  for f in slipreport slipcheck slipmap slipsource; do [ -x "$bin/$f" ] || { echo "no $bin/$f" >&2; return 1; }; done
  for f in README.md LICENSE copyright rateA.dat docs/rateA-out4.svg; do [ -f "$doc/$f" ] || { echo "no $doc/$f" >&2; return 1; }; done
  readme_links "$doc"
  users_readme "$doc"
  man_pages "$bin" "$bin/../share/man/man1"
  cp "$doc/rateA.dat" "$work/"
  (cd "$work" && "$bin/slipreport")
  cmp "$work/rateA-out4.csv" "$report"
  (cd "$work" && "$bin/slipcheck" -q) | grep -q ': 0 errors, 0 warnings$'
  (cd "$work" && "$bin/slipmap")
  cmp "$work/rateA-out4.svg" "$figure"
  (cd "$work" && "$bin/slipsource") | grep -q '^Mw .* (IASPEI: '
  "$bin/slipsource" --version | grep -qx "slipsource $version"
  "$bin/slipcheck" --version | grep -qx "slipcheck $version"
  "$bin/slipmap" --version | grep -qx "slipmap $version"
}

echo "== packages: Linux .deb and .tar.gz"
# SLIP_RELEASE_BUILD names a release build that is already there (.ci/run's build).
release=${SLIP_RELEASE_BUILD:-build-release}
[ -n "${SLIP_RELEASE_BUILD:-}" ] || cmake -B "$release" -DCMAKE_BUILD_TYPE=Release -DSLIP_TESTS=OFF > /dev/null
cmake --build "$release" -j2 > /dev/null
(cd "$release" && cpack -G "DEB;TGZ" -B "$out" > "$out/cpack-linux.log")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")
deb=$(ls "$out"/slipreport_*.deb)
tgz=$(ls "$out"/slipreport-*-Linux.tar.gz)
dpkg-deb -f "$deb" Package Version Architecture Maintainer Depends Description | head -6
case $(dpkg-deb -f "$deb" Maintainer) in
  *localhost*|"") echo "the .deb's maintainer names no project" >&2; exit 1 ;;
esac
depends=$(dpkg-deb -f "$deb" Depends)
case $depends in
  "libc6 "*) ;;
  *) echo "the .deb depends on more than the C library: $depends" >&2; exit 1 ;;
esac
echo "-- $(basename "$deb"):"; dpkg-deb -c "$deb" | awk '{print "   " $6}'
dpkg -x "$deb" "$scratch/deb"
try_programs "$scratch/deb/usr/bin" "$scratch/deb/usr/share/doc/slipreport"
echo "ok   .deb: the four programs run on the example it carries; man shows their pages"
mkdir -p "$scratch/tgz"
tar -xzf "$tgz" -C "$scratch/tgz"
echo "-- $(basename "$tgz"):"; tar -tzf "$tgz" | sed 's/^/   /'
top=$(ls "$scratch/tgz")
try_programs "$scratch/tgz/$top/bin" "$scratch/tgz/$top/share/doc/slipreport"
echo "ok   .tar.gz: the four programs run on the example it carries; man shows their pages"

echo "== packages: Windows .zip"
[ -f build-win/CPackConfig.cmake ] || { echo "build-win is missing: run ci/windows.sh first" >&2; exit 1; }
(cd build-win && cpack -G ZIP -B "$out" > "$out/cpack-win.log")
zip=$(ls "$out"/slipreport-*-win64.zip)
mkdir -p "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$zip")
echo "-- $(basename "$zip"):"; (cd "$scratch/zip" && find . -type f | sort | sed 's/^\.\//   /')
top=$(ls "$scratch/zip")
dir=$scratch/zip/$top
for f in slipreport.exe slipcheck.exe slipmap.exe slipsource.exe slipdeform.exe README.md LICENSE rateA.dat docs/rateA-out4.svg; do
  [ -f "$dir/$f" ] || { echo "the zip has no $f" >&2; exit 1; }
done
readme_links "$dir"
users_readme "$dir"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEDEBUG=-all WINEPREFIX=$root/build-win/wine WINEDLLOVERRIDES="mscoree,mshtml="
(cd "$dir" && "$wine" slipreport.exe) < /dev/null > "$scratch/wine.log" 2>&1
crlf "$report" | cmp - "$dir/rateA-out4.csv"
(cd "$dir" && "$wine" slipmap.exe) < /dev/null >> "$scratch/wine.log" 2>&1
cmp "$dir/rateA-out4.svg" "$figure"
echo "ok   .zip: slipreport.exe and slipmap.exe under Wine on the example beside them"
ls -l "$out"/*.deb "$out"/*.tar.gz "$out"/*.zip | awk '{print "   " $5 "  " $9}'
