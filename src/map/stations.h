// Ground displacement at stations, as a station CSV gives it: one line of
// header, "station,lon,lat,east_m,north_m,up_m" with an optional ",los_m",
// then one line per station (LF or CRLF ends).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "map/figure_layout.h"

namespace slip::map {

struct StationError {
  long long line = 0, column = 0;
  std::string message;
};

// Fills `stations`; false with `error` at the first field that does not read.
bool readStations(std::string_view text, std::vector<Station>& stations, StationError& error);

}  // namespace slip::map
