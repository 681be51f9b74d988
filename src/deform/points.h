// Where slipdeform evaluates the displacement: GNSS stations read from a
// file, and the nodes of a longitude-latitude grid.
//
// Stations: one a line, "NAME LON LAT" separated by blanks, tabs or commas
// (several together count as one); '#' starts a comment to the line's end;
// empty lines, a UTF-8 byte-order mark and CR LF line ends are fine. A name
// is printable ASCII without '"' or '\' (it goes into CSV and JSON as it
// is); LON from -180 to 360 degrees, LAT from -90 to 90.
//
// Grid: "LONMIN/LONMAX/LATMIN/LATMAX/STEP" in degrees, nodes from the
// minimum to the maximum inclusive (gridline registration: 0/1/0/1/0.5 is
// 3 x 3 nodes); each extent a whole number of steps, within 1e-6 of a step.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace slip::deform {

struct Station {
  std::string name;
  double lon = 0.0, lat = 0.0;  // degrees
};

struct StationsError {
  std::string message;  // empty: none
  long long line = 0, column = 0, lastColumn = 0;
  explicit operator bool() const { return !message.empty(); }
};

// Reads the stations of `text` into `stations`, in order; stops at the first bad line.
StationsError parseStations(std::string_view text, std::vector<Station>& stations);

inline constexpr double kMostNodes = 1.0e8;

struct GridSpec {
  double lonMin = 0.0, lonMax = 0.0, latMin = 0.0, latMax = 0.0, step = 0.0;  // degrees
  std::size_t columns = 0, rows = 0;
  double lon(std::size_t column) const { return lonMin + static_cast<double>(column) * step; }
  double lat(std::size_t row) const { return latMin + static_cast<double>(row) * step; }
};

// Reads a grid's text. Returns "" or what is wrong, for the command line.
std::string parseGrid(std::string_view text, GridSpec& grid);

}  // namespace slip::deform
