#include "deform/points.h"

#include <cmath>

#include "text/text.h"

namespace slip::deform {
namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }
bool isNameByte(char c) { return c > ' ' && c < 0x7f && c != '"' && c != '\\'; }

struct Field {
  std::string_view text;
  long long column;  // 1-based
};

}  // namespace

StationsError parseStations(std::string_view text, std::vector<Station>& stations) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  long long lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    // LF, CR LF or a lone CR ends a line, as the diagnostics count lines.
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    const std::size_t next = end == std::string_view::npos ? text.size()
                             : text.substr(end, 2) == "\r\n" ? end + 2 : end + 1;
    text.remove_prefix(next);
    const std::string_view data = line.substr(0, line.find('#'));
    std::vector<Field> fields;
    // Columns count from the line's first byte, a byte-order mark's too.
    for (std::size_t i = lineNumber == 1 && data.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
         i < data.size();) {
      if (isSeparator(data[i])) {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < data.size() && !isSeparator(data[j])) ++j;
      fields.push_back({data.substr(i, j - i), static_cast<long long>(i) + 1});
      i = j;
    }
    if (fields.empty()) continue;
    auto error = [&](const Field& f, std::string message) {
      return StationsError{std::move(message), lineNumber, f.column,
                           f.column + static_cast<long long>(f.text.size()) - 1};
    };
    if (fields.size() != 3) {
      const Field& f = fields.size() > 3 ? fields[3] : fields.back();
      return error(f, format("expected NAME LON LAT, found %zu field%s", fields.size(), plural(
                                     static_cast<long long>(fields.size()))));
    }
    for (const char c : fields[0].text) {
      if (!isNameByte(c)) {
        return error(fields[0], "a station's name is printable ASCII, without '\"' or '\\'");
      }
    }
    Station s{std::string(fields[0].text)};
    if (!parseNumber(fields[1].text, s.lon) || !(s.lon >= -180.0 && s.lon <= 360.0)) {
      return error(fields[1], "expected a longitude from -180 to 360 degrees, found " + quotedText(fields[1].text));
    }
    if (!parseNumber(fields[2].text, s.lat) || !(s.lat >= -90.0 && s.lat <= 90.0)) {
      return error(fields[2], "expected a latitude from -90 to 90 degrees, found " + quotedText(fields[2].text));
    }
    stations.push_back(std::move(s));
  }
  return {};
}

std::string parseGrid(std::string_view text, GridSpec& g) {
  double v[5] = {};
  for (int k = 0; k < 5; ++k) {
    const std::size_t slash = text.find('/');
    if ((k < 4) == (slash == std::string_view::npos) || !parseNumber(text.substr(0, slash), v[k])) {
      return "give LONMIN/LONMAX/LATMIN/LATMAX/STEP in degrees, such as 140/142/37/39/0.01";
    }
    text.remove_prefix(k < 4 ? slash + 1 : text.size());
  }
  g = {v[0], v[1], v[2], v[3], v[4]};
  if (!(g.lonMin >= -180.0 && g.lonMin <= g.lonMax && g.lonMax <= 360.0)) {
    return "give longitudes with LONMIN <= LONMAX, from -180 to 360 degrees";
  }
  if (!(g.latMin >= -90.0 && g.latMin <= g.latMax && g.latMax <= 90.0)) {
    return "give latitudes with LATMIN <= LATMAX, from -90 to 90 degrees";
  }
  if (!(g.step > 0.0)) return "give a STEP above 0 degrees";
  const double steps[2] = {(g.lonMax - g.lonMin) / g.step, (g.latMax - g.latMin) / g.step};
  for (const double s : steps) {
    if (std::fabs(s - std::round(s)) > 1.0e-6) {
      return "each extent must be a whole number of STEPs (the nodes run from the minimum to the maximum)";
    }
  }
  const double nodes = (std::round(steps[0]) + 1.0) * (std::round(steps[1]) + 1.0);
  if (!(nodes <= kMostNodes)) {
    return format("%.0f nodes: at most 1e8 (a larger STEP or a smaller extent)", nodes);
  }
  g.columns = static_cast<std::size_t>(std::round(steps[0])) + 1;
  g.rows = static_cast<std::size_t>(std::round(steps[1])) + 1;
  return {};
}

}  // namespace slip::deform
