#include "map/stations.h"

#include <cmath>

#include "text/text.h"

namespace slip::map {

bool readStations(std::string_view text, std::vector<Station>& stations, StationError& error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  long long line = 0;
  std::size_t columns = 0;
  while (!text.empty()) {
    ++line;
    const std::size_t end = text.find('\n');
    std::string_view row = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (row.ends_with('\r')) row.remove_suffix(1);
    if (line == 1) {
      if (row == "station,lon,lat,east_m,north_m,up_m") columns = 6;
      if (row == "station,lon,lat,east_m,north_m,up_m,los_m") columns = 7;
      if (columns == 0) {
        error = {1, 1, "expected the header \"station,lon,lat,east_m,north_m,up_m\" (with \",los_m\" or without)"};
        return false;
      }
      continue;
    }
    if (row.empty() && text.empty()) break;
    std::vector<std::string_view> fields;
    std::vector<long long> starts;
    for (std::size_t at = 0;;) {
      const std::size_t comma = row.find(',', at);
      starts.push_back(static_cast<long long>(at) + 1);
      fields.push_back(row.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
      if (comma == std::string_view::npos) break;
      at = comma + 1;
    }
    if (fields.size() != columns) {
      error = {line, 1, "expected " + std::to_string(columns) + " fields as the header names, found " +
                            std::to_string(fields.size())};
      return false;
    }
    Station s;
    s.name = std::string(fields[0]);
    double* targets[] = {&s.lon, &s.lat, &s.east, &s.north, &s.up};
    const char* names[] = {"lon", "lat", "east_m", "north_m", "up_m"};
    for (std::size_t k = 0; k < 5; ++k) {
      if (!parseNumber(fields[k + 1], *targets[k]) || !std::isfinite(*targets[k])) {
        error = {line, starts[k + 1], std::string(names[k]) + " needs a finite number, not '" +
                                          std::string(fields[k + 1].substr(0, 40)) + "'"};
        return false;
      }
    }
    if (!(std::fabs(s.lat) <= 90.0)) {
      error = {line, starts[2], "lat needs a latitude from -90 to 90"};
      return false;
    }
    stations.push_back(std::move(s));
  }
  return true;
}

}  // namespace slip::map
