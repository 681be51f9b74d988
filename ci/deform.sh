#!/usr/bin/env bash
# slipdeform's files read by real clients, and its Windows build against the
# Linux one.
#
#   bash ci/deform.sh gdal BUILD_DIR
#       GDAL's gdalinfo -stats reads each ESRI ASCII grid of the example with
#       its size, geotransform and WGS84 frame and a maximum equal to the
#       program's; ogrinfo reads the stations' GeoJSON.
#   bash ci/deform.sh windows LINUX_SLIPDEFORM SLIPDEFORM_EXE
#       slipdeform.exe under Wine gives the Linux numbers to 1e-9 relative
#       (the C libraries' logarithms and arc tangents may differ in the last
#       bits) and the same refusals.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mode=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat examples/stations.txt "$work/"
grid=-111.5/-109.5/26/28.5/0.05   # 41 x 51 nodes over the fault
failed=0
fail() {
  echo "FAIL $*" >&2
  failed=1
}

if [ "$mode" = gdal ]; then
  build=$(cd "$2" && pwd)
  (cd "$work" && "$build/slipdeform" --depth 16 --stations stations.txt -o st.csv --geojson st.geojson \
    --los -12/39 --grid $grid --grid-out g -q)
  for c in east north up los; do
    info=$(gdalinfo -stats "$work/g.$c.asc")
    echo "$info" | grep -q '^Size is 41, 51$' || fail "g.$c.asc: not 41 x 51"
    # The geotransform: the north-west node -111.5, 28.5 half a step inside the origin.
    echo "$info" | awk -F'[(,)]' '/^Origin = / {o = ($2 + 111.525) ^ 2 + ($3 - 28.525) ^ 2 < 1e-18}
      /^Pixel Size = / {p = ($2 - 0.05) ^ 2 + ($3 + 0.05) ^ 2 < 1e-24} END {exit !(o && p)}' ||
      fail "g.$c.asc: the geotransform: $(echo "$info" | grep -E '^(Origin|Pixel Size)' | tr '\n' ' ')"
    echo "$info" | grep -q 'WGS 84\|WGS_1984' || fail "g.$c.asc: not WGS84"
    gmax=$(echo "$info" | sed -n 's/.*STATISTICS_MAXIMUM=//p')
    pmax=$(awk 'NR > 6 {for (i = 1; i <= NF; i++) if (!n++ || $i > m) m = $i} END {print m}' "$work/g.$c.asc")
    awk -v a="$gmax" -v b="$pmax" 'BEGIN {d = a - b; if (d < 0) d = -d; exit !(d <= 1e-6 * (b < 0 ? -b : b))}' ||
      fail "g.$c.asc: GDAL's maximum $gmax, the program's $pmax"
    echo "ok   g.$c.asc: 41 x 51, origin and step, WGS84, maximum $gmax"
  done
  count=$(ogrinfo -ro -so "$work/st.geojson" st | sed -n 's/^Feature Count: //p')
  [ "$count" = 8 ] || fail "st.geojson: $count features, not 8"
  ogrinfo -ro -so "$work/st.geojson" st | grep -q '^los_m: Real' || fail "st.geojson: no los_m"
  [ $failed = 0 ] && echo "ok   st.geojson: 8 points with their displacements"
elif [ "$mode" = windows ]; then
  linux=$2 exe=$3
  wine=/usr/lib/wine/wine64
  [ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
  run() { (cd "$work" && "$@" --depth 16 --stations stations.txt --los -12/39 --grid $grid --grid-out "$out" -q); }
  out=lin run "$linux" > "$work/lin.csv"
  out=win run "$wine" "$exe" > "$work/win.csv" 2> "$work/win.err" || { cat "$work/win.err" >&2; fail "slipdeform.exe"; }
  tr -d '\r' < "$work/win.csv" > "$work/win-lf.csv"
  for pair in "lin.csv win-lf.csv" "lin.east.asc win.east.asc" "lin.up.asc win.up.asc" "lin.los.asc win.los.asc"; do
    set -- $pair
    paste -d' ' <(tr ',' ' ' < "$work/$1" | tr -d '\r') <(tr ',' ' ' < "$work/$2" | tr -d '\r') | awk '
      {n = NF / 2; for (i = 1; i <= n; i++) { a = $i; b = $(i + n)
         if (a == b) continue
         if (a + 0 != a || b + 0 != b) { print "differ at line " NR ": " a " " b; bad = 1; exit }
         d = a - b; d = d < 0 ? -d : d; s = a < 0 ? -a : a
         if (d > 1e-9 * s && d > 1e-15) { print "differ at line " NR ": " a " " b; bad = 1; exit } } }
      END {exit bad}' || fail "slipdeform.exe: $2 differs from $1"
  done
  [ $failed = 0 ] && echo "ok   slipdeform.exe: the stations and grids of Linux to 1e-9"
  refusal=$(cd "$work" && "$wine" "$exe" --depth 16 --grid 0/1/0/1/0.3 --grid-out g 2>&1 | tr -d '\r' || true)
  echo "$refusal" | grep -q 'whole number of STEPs' || fail "slipdeform.exe: the grid refusal: $refusal"
fi
[ $failed = 0 ] || { echo "deform: the $mode checks failed" >&2; exit 1; }
echo "== deform: $mode checks passed"
