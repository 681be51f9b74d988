#!/usr/bin/env bash
# Installs the Debian 12 packages a build needs, as root (or through sudo):
#
#   bash ci/install-deps.sh example   build the programs and run them on the example
#   bash ci/install-deps.sh tests     and build and run the tests (the default)
#   bash ci/install-deps.sh ci        and everything .ci/run uses besides
#
# Only the packages that are missing are installed.
set -euo pipefail
# cmake, g++ and the fast_float headers build the programs.
example=(cmake make g++ libfast-float-dev)
# GoogleTest; chromium, libxml2-utils and libpng-dev: slipmap's figure is
# rendered in a real browser, checked by xmllint, and the screenshot decoded
# with libpng.
tests=("${example[@]}" libgtest-dev libgmock-dev chromium libxml2-utils libpng-dev)
# The benchmarks, the fuzzers and the instruction counts; dpkg-dev works out
# the .deb's dependency on the C library (dpkg-shlibdeps); gdal-bin reads
# slipsource's GeoJSON and KML as a GIS user's tools would; man-db shows the
# packages' manual pages.
ci=("${tests[@]}" libbenchmark-dev clang libclang-rt-14-dev valgrind dpkg-dev gdal-bin man-db)
case ${1:-tests} in
  example) packages=("${example[@]}") ;;
  tests) packages=("${tests[@]}") ;;
  ci) packages=("${ci[@]}") ;;
  *) echo "usage: bash ci/install-deps.sh [example|tests|ci]" >&2; exit 64 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
