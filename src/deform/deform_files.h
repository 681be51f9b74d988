// slipdeform's files: the stations' displacements as CSV and as GeoJSON
// (RFC 7946 Point features), and a grid's component as an ESRI ASCII grid
// with its .prj (WGS84 geographic). Displacements in metres, seven
// significant digits; a value that is not finite (a point on the surface
// corner of a fault that reaches the ground) is "nan" in CSV, null in
// GeoJSON and the grid's NODATA value.
#pragma once

#include <span>
#include <string>

#include "deform/points.h"

namespace slip::deform {

// Per point: east, north, up, and the line of sight when `los`.
struct Field {
  std::vector<double> east, north, up, los;
};

std::string stationsCsv(std::span<const Station> stations, const Field& u, bool los);
std::string stationsGeoJson(std::span<const Station> stations, const Field& u, bool los);
// `values` row by row from the south (row 0 at LATMIN), as the grid's nodes are held.
std::string esriAsciiGrid(const GridSpec& grid, std::span<const double> values);
extern const char kWgs84Prj[];

}  // namespace slip::deform
