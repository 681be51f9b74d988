// Feeds arbitrary bytes to slipdeform's stations reader.
//
// A text gives stations or stops at an error placed within a line the text
// has (LF, CR LF and a lone CR end lines); every station read has a name of
// printable ASCII and a longitude and latitude in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "deform/points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<slip::deform::Station> stations;
  const slip::deform::StationsError error = slip::deform::parseStations(text, stations);
  for (const slip::deform::Station& s : stations) {
    if (s.name.empty() || !(s.lon >= -180.0 && s.lon <= 360.0) || !(s.lat >= -90.0 && s.lat <= 90.0)) std::abort();
    for (const char c : s.name) {
      if (c <= ' ' || c >= 0x7f || c == '"' || c == '\\' || c == ',' || c == '#') std::abort();
    }
  }
  if (!error) return 0;
  long long line = 1, length = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\r') {
      if (line == error.line) break;
      if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
      ++line;
    } else if (line == error.line) {
      ++length;
    }
  }
  if (line != error.line || error.column < 1 || error.lastColumn < error.column || error.lastColumn > length) {
    std::abort();
  }
  return 0;
}
