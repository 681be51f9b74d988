#include "deform/deform_files.h"

#include <charconv>
#include <cmath>

#include "text/text.h"

namespace slip::deform {
namespace {

constexpr double kNoData = -9999.0;

void appendNumber(std::string& out, double v, const char* none) {
  if (!std::isfinite(v)) {
    out += none;
    return;
  }
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 7);
  out.append(buffer, r.ptr);
}

// The point's values, comma-separated.
void appendValues(std::string& out, const Field& u, std::size_t i, bool los, const char* none) {
  for (const std::vector<double>* c : {&u.east, &u.north, &u.up, &u.los}) {
    if (c == &u.los && !los) break;
    out += ',';
    appendNumber(out, (*c)[i], none);
  }
}

}  // namespace

const char kWgs84Prj[] =
    "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],"
    "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]\n";

std::string stationsCsv(std::span<const Station> stations, const Field& u, bool los) {
  std::string out = los ? "station,lon,lat,east_m,north_m,up_m,los_m\n" : "station,lon,lat,east_m,north_m,up_m\n";
  for (std::size_t i = 0; i < stations.size(); ++i) {
    out += stations[i].name;
    out += ',' + showValue(stations[i].lon) + ',' + showValue(stations[i].lat);
    appendValues(out, u, i, los, "nan");
    out += '\n';
  }
  return out;
}

std::string stationsGeoJson(std::span<const Station> stations, const Field& u, bool los) {
  std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const Station& s = stations[i];
    const double lon = s.lon > 180.0 ? s.lon - 360.0 : s.lon;
    out += i ? ",\n" : "\n";
    out += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + showValue(lon) + ',' +
           showValue(s.lat) + "]},\"properties\":{\"station\":\"" + s.name + '"';
    const char* names[] = {"east_m", "north_m", "up_m", "los_m"};
    const std::vector<double>* values[] = {&u.east, &u.north, &u.up, &u.los};
    for (int k = 0; k < (los ? 4 : 3); ++k) {
      out += std::string(",\"") + names[k] + "\":";
      appendNumber(out, (*values[k])[i], "null");
    }
    out += "}}";
  }
  out += "\n]}\n";
  return out;
}

std::string esriAsciiGrid(const GridSpec& g, std::span<const double> values) {
  // The nodes are the cells' centres: the lower-left corner lies half a step outside.
  // Twelve digits: 27.1 - 0.025 is 27.075, not the double's 27.075000000000003.
  std::string out = format("ncols %zu\nnrows %zu\nxllcorner %.12g\nyllcorner %.12g\ncellsize %.12g\n"
                           "NODATA_value -9999\n",
                           g.columns, g.rows, g.lonMin - g.step / 2.0, g.latMin - g.step / 2.0, g.step);
  out.reserve(out.size() + values.size() * 14);
  for (std::size_t r = g.rows; r-- > 0;) {  // north first
    for (std::size_t c = 0; c < g.columns; ++c) {
      const double v = values[r * g.columns + c];
      if (c) out += ' ';
      appendNumber(out, std::isfinite(v) ? v : kNoData, "");
    }
    out += '\n';
  }
  return out;
}

}  // namespace slip::deform
