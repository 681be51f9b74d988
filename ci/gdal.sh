#!/usr/bin/env bash
# slipsource's GeoJSON and KML read by a real GIS client, Debian's GDAL
# (gdal-bin): on the bundled example, the KML holds 947 features (946
# subfault polygons and the epicentre), the GeoJSON 949 (and the fault's
# outline and top edge, told apart by their role), with the properties slipsource
# documents, every polygon valid by GDAL's SQLite dialect (SpatiaLite's
# ST_IsValid), and the GeoJSON converts to an ESRI Shapefile as the README
# shows it.
#
#   bash ci/gdal.sh [BUILD_DIR]     (default build; as root: installs gdal-bin if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
case $build in /*) ;; *) build=$root/$build ;; esac

if ! command -v ogrinfo > /dev/null || ! command -v ogr2ogr > /dev/null; then
  echo "== gdal: installing gdal-bin"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends gdal-bin > /dev/null
fi
echo "== gdal: $(ogrinfo --version)"
if [ ! -x "$build/slipsource" ]; then
  cmake -S "$root" -B "$build" > /dev/null
  cmake --build "$build" -j2 --target slipsource > /dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/rateA.dat "$work/"
(cd "$work" && "$build/slipsource" --all rateA --depth 16 > summary.txt)

failed=0
fail() {
  echo "FAIL $*" >&2
  failed=1
}
# The SQLite dialect's single value of QUERY on FILE.
value() {
  ogrinfo -ro -q -dialect SQLite -sql "$2" "$1" | sed -n 's/^ *n ([A-Za-z0-9]*) = //p'
}
# check FILE FEATURES POLYGONS LINES FIELD...: the feature counts, the geometries' validity and the fields.
check() {
  local file=$work/$1 features=$2 polygons=$3 lines=$4 layer summary count polys valid points ls field
  shift 4
  layer=$(ogrinfo -ro "$file" | sed -n 's/^1: //p' | sed 's/ ([A-Za-z ]*)$//')
  summary=$(ogrinfo -ro -so "$file" "$layer")
  count=$(echo "$summary" | sed -n 's/^Feature Count: //p')
  polys=$(value "$file" "SELECT COUNT(*) AS n FROM \"$layer\" WHERE GeometryType(geometry) = 'POLYGON'")
  valid=$(value "$file" "SELECT COUNT(*) AS n FROM \"$layer\" WHERE GeometryType(geometry) = 'POLYGON' AND ST_IsValid(geometry)")
  points=$(value "$file" "SELECT COUNT(*) AS n FROM \"$layer\" WHERE GeometryType(geometry) = 'POINT'")
  ls=$((count - polys - points))  # what is neither polygon nor point: the lines
  [ "$count" = "$features" ] || fail "$(basename "$file"): $count features, not $features"
  [ "$polys" = "$polygons" ] || fail "$(basename "$file"): $polys polygons, not $polygons"
  [ "$valid" = "$polygons" ] || fail "$(basename "$file"): $valid valid polygons of $polygons"
  [ "$points" = 1 ] || fail "$(basename "$file"): $points points, not the epicentre alone"
  [ "$ls" = "$lines" ] || fail "$(basename "$file"): $ls other features, not $lines lines"
  for field in "$@"; do
    echo "$summary" | grep -q "^$field: " || fail "$(basename "$file"): no field $field"
  done
  echo "ok   $(basename "$file"): layer '$layer', $count features, $valid valid polygons, fields $*"
}

check rateA.geojson 949 947 1 role w l slip_m rake_deg report_rake_deg slip35_m slip125_m trup_s rise_s moment_Nm distance_km \
  depth_km name event m0_Nm mw strike_deg dip_deg rigidity_Pa origin
check rateA.kml 947 946 0 Name description
named=$(value "$work/rateA.kml" "SELECT COUNT(*) AS n FROM \"rateA.dat\" WHERE Name LIKE 'W % L %'")
[ "$named" = 946 ] || fail "rateA.kml: $named placemarks named W .. L .., not 946"
roles=$(value "$work/rateA.geojson" "SELECT COUNT(*) AS n FROM rateA WHERE
  (role = 'fault_outline' AND GeometryType(geometry) = 'POLYGON') OR (role = 'top_edge' AND GeometryType(geometry) = 'LINESTRING')")
[ "$roles" = 2 ] || fail "rateA.geojson: the fault's outline and top edge not found by their role"

# The README's conversion for ArcGIS: the subfaults alone (a shapefile holds one
# geometry type), field names of at most 10 characters, the moment as a whole number.
mkdir "$work/shp"
(cd "$work" && ogr2ogr -f "ESRI Shapefile" -nlt POLYGON shp/rateA_subfaults.shp rateA.geojson -sql \
  "SELECT w, l, slip_m, rake_deg, report_rake_deg AS rep_rake, slip35_m, slip125_m, trup_s, rise_s,
          CAST(moment_Nm AS numeric(24,0)) AS moment_Nm, distance_km AS dist_km, depth_km
   FROM rateA WHERE role = 'subfault'" 2> shp.log) || { cat "$work/shp.log" >&2; fail "ogr2ogr to ESRI Shapefile"; }
shp=$(ogrinfo -ro -so "$work/shp/rateA_subfaults.shp" rateA_subfaults)
echo "$shp" | grep -q '^Geometry: Polygon$' || fail "rateA_subfaults.shp: not a polygon layer"
echo "$shp" | grep -q '^Feature Count: 946$' || fail "rateA_subfaults.shp: not 946 features"
echo "$shp" | grep -q '^moment_Nm: Real (24.0)$' || fail "rateA_subfaults.shp: no whole-number moment_Nm"
moments=$(value "$work/shp/rateA_subfaults.shp" "SELECT SUM(moment_Nm) / 1e20 AS n FROM rateA_subfaults")
m0=$(sed -n 's/^M0 \([^ ]*\) N m.*/\1/p' "$work/summary.txt")
awk -v s="$moments" -v m="$m0" 'BEGIN {exit !(s * 1e20 / m > 0.999999 && s * 1e20 / m < 1.000001)}' ||
  fail "rateA_subfaults.shp: the moments sum to ${moments}e20 N m, not M0 = $m0"
[ $failed = 0 ] && echo "ok   rateA_subfaults.shp: 946 polygons, the moments summing to M0"

[ $failed = 0 ] || { echo "gdal: the GIS checks failed" >&2; exit 1; }
echo "== gdal: GeoJSON and KML read by GDAL, the shapefile converted"
