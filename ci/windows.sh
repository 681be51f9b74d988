#!/usr/bin/env bash
# The Windows build, from this Debian machine: cross-compiles slipreport.exe,
# slipmap.exe, slipsource.exe and the platform-neutral tests with mingw-w64, runs the tests
# under Wine, then runs the tools under Wine beside the Linux build on the
# example and on failure cases, and compares outputs, diagnostics and exit
# statuses.
#
#   bash ci/windows.sh            (as root: installs what is missing)
#
# Folders: build-win (cross build, its GoogleTest and Wine prefix) and
# build-linux-win (the Linux reference tool).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
stage_start=$SECONDS

packages=(g++-mingw-w64-x86-64 wine64 cmake make g++ libgtest-dev libgmock-dev libfast-float-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== windows: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}" > /dev/null
fi

toolchain=$root/cmake/mingw-w64-x86_64.cmake
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
export WINEDEBUG=-all
export WINEPREFIX=$root/build-win/wine
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko prompts in a fresh prefix

echo "== windows: cross-build GoogleTest from /usr/src/googletest"
gtest_prefix=$root/build-win/googletest
mkdir -p build-win
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B build-win/googletest-build -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" > build-win/googletest.log
  cmake --build build-win/googletest-build -j2 >> build-win/googletest.log
  cmake --install build-win/googletest-build >> build-win/googletest.log
fi

# A fresh prefix prints its creation on standard error, and Wine's helper
# processes keep the descriptors of the first program open: make it here,
# with its output in a file, and keep one wineserver for the whole stage.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== windows: Wine prefix"
  # Without 32-bit Wine it complains about syswow64 and fails; the 64-bit
  # prefix is made all the same.
  "$wine" wineboot --init > build-win/wineboot.log 2>&1 < /dev/null || true
  "$wineserver" -w   # the registry reaches the prefix when the server ends
  [ -f "$WINEPREFIX/system.reg" ] || { cat build-win/wineboot.log >&2; exit 1; }
fi
"$wineserver" -p > /dev/null 2>&1 < /dev/null
# Starts the session's helper processes with nothing of ours open: started by
# a test run, they would hold its output pipe open after it ends.
"$wine" wineboot > /dev/null 2>&1 < /dev/null || true
trap '"$wineserver" -k > /dev/null 2>&1 || true' EXIT

echo "== windows: cross-build slipreport.exe, slipcheck.exe, slipmap.exe, slipsource.exe, slipdeform.exe and the tests"
cmake -B build-win -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" > build-win/configure.log
cmake --build build-win -j2
for exe in slipreport.exe slipcheck.exe slipmap.exe slipsource.exe slipdeform.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "build-win/$exe" | awk '/DLL Name/ {print $3}' | sort | tr '\n' ' ')
  echo "$exe imports: $dlls"
  if [ "$dlls" != "KERNEL32.dll msvcrt.dll " ]; then
    echo "$exe needs a DLL that is not part of the system" >&2
    exit 1
  fi
done

echo "== windows: unit tests under Wine"
# Not run here: MatchesPrintfOverRandomValues and FieldFuzzCorpus take the C
# library's "%#.*f" as their oracle, and mingw's drops the sign of a NaN that
# the field editor keeps on both builds; GeneratorReproducesModel runs
# make_model.exe outside the emulator (the e2e below runs it under Wine).
ctest --test-dir build-win --output-on-failure --no-tests=error -j2 \
  -E '^(FieldEditor\.MatchesPrintfOverRandomValues|FieldFuzzCorpus|Example\.GeneratorReproducesModel)$'

echo "== windows: the Linux reference tool"
# SLIP_LINUX_BUILD names a Linux build that is already there (.ci/run's build).
linux_build=${SLIP_LINUX_BUILD:-build-linux-win}
[ -f "$linux_build/CMakeCache.txt" ] || cmake -B "$linux_build" > /dev/null
cmake --build "$linux_build" -j2 --target slipreport slipcheck slipmap slipsource slipdeform > /dev/null
linux_build=$(cd "$linux_build" && pwd)

bash ci/windows_e2e.sh "$linux_build/slipreport" "$root/build-win/slipreport.exe" "$root/build-win/make_model.exe" \
  "$linux_build/slipmap" "$root/build-win/slipmap.exe"

bash ci/deform.sh windows "$linux_build/slipdeform" "$root/build-win/slipdeform.exe"

echo "== windows: stage took $((SECONDS - stage_start)) s"
