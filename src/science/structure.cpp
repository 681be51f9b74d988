#include "science/structure.h"

#include <cstdarg>

#include "text/text.h"

namespace slip::source {
namespace {

constexpr int kFields = 4;
const char* const kFieldNames[kFields] = {"thickness (km)", "Vp (km/s)", "Vs (km/s)", "density (g/cm3)"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text of a field, shortened and printable, for a message.
std::string shown(std::string_view field) {
  std::string text(field.substr(0, 24));
  if (field.size() > 24) text += "...";
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127) c = '?';
  }
  return text;
}

SLIP_PRINTF(4, 5) StructureError error(long long line, long long column, long long last, const char* pattern,
                                                    ...) {
  std::va_list args;
  va_start(args, pattern);
  StructureError e{line, column, last, formatList(pattern, args)};
  va_end(args);
  return e;
}

// Checks one layer's values; `at` and `end` give each field's columns.
StructureError checkLayer(long long line, const double* v, const long long* at, const long long* end) {
  if (!(v[0] >= 0.0)) return error(line, at[0], end[0], "thickness %g km is negative", v[0]);
  if (!(v[1] > 0.0 && v[1] <= 20.0)) {
    return error(line, at[1], end[1], "Vp %g km/s is not between 0 and 20 km/s (give km/s, not m/s)", v[1]);
  }
  if (!(v[2] > 0.0 && v[2] <= 20.0)) {
    return error(line, at[2], end[2], "Vs %g km/s is not between 0 and 20 km/s (give km/s, not m/s)", v[2]);
  }
  if (!(v[2] < v[1])) return error(line, at[1], end[2], "Vs %g km/s is not below Vp %g km/s", v[2], v[1]);
  if (!(v[3] >= 0.5 && v[3] <= 20.0)) {
    return error(line, at[3], end[3], "density %g g/cm3 is not between 0.5 and 20 (give g/cm3, not kg/m3)",
                 v[3]);
  }
  return {};
}

}  // namespace

StructureError parseStructure(std::string_view text, std::vector<Layer>& layers) {
  layers.clear();
  long long line = 0;
  std::size_t pos = 0;
  double top = 0.0;
  while (pos < text.size()) {
    ++line;
    std::size_t stop = pos;
    while (stop < text.size() && text[stop] != '\n' && text[stop] != '\r') ++stop;
    const std::string_view record = text.substr(pos, stop - pos);
    pos = stop;
    if (pos < text.size()) ++pos;  // the LF, or a CR
    if (pos < text.size() && text[pos - 1] == '\r' && text[pos] == '\n') ++pos;  // CR LF

    const std::string_view data = record.substr(0, record.find('#'));
    double v[kFields];
    long long at[kFields], end[kFields];
    int count = 0;
    std::size_t i = 0;
    while (true) {
      while (i < data.size() && isBlank(data[i])) ++i;
      if (i == data.size()) break;
      std::size_t j = i;
      while (j < data.size() && !isBlank(data[j])) ++j;
      const std::string_view field = data.substr(i, j - i);
      const long long column = static_cast<long long>(i) + 1, last = static_cast<long long>(j);
      if (count == kFields) {
        return error(line, column, last, "more than 4 values: \"%s\" follows the density", shown(field).c_str());
      }
      double value = 0.0;
      if (!parseNumber(field, value)) {  // a leading '+', as some tools write, is taken
        return error(line, column, last, "%s: \"%s\" is not a number", kFieldNames[count], shown(field).c_str());
      }
      v[count] = value;
      at[count] = column;
      end[count] = last;
      ++count;
      i = j;
    }
    if (count == 0) continue;  // a blank or comment line
    if (count < kFields) {
      const long long column = static_cast<long long>(data.size()) + 1;
      return error(line, column, column, "%d of the 4 values of a layer (thickness km, Vp km/s, Vs km/s, density "
                   "g/cm3): %s is missing", count, kFieldNames[count]);
    }
    if (StructureError e = checkLayer(line, v, at, end)) return e;
    Layer layer{v[0], v[1], v[2], v[3], 0.0, top};
    const double rho = v[3] * 1000.0;   // kg/m^3
    const double vs = v[2] * 1000.0;    // m/s
    layer.rigidity = rho * vs * vs;
    layers.push_back(layer);
    top += v[0];
  }
  if (layers.empty()) return {0, 0, 0, "no layer: a structure needs at least one line of 4 values"};
  return {};
}

const Layer& layerAt(const std::vector<Layer>& layers, double depth) {
  std::size_t i = 0;
  while (i + 1 < layers.size() && depth >= layers[i + 1].top) ++i;
  return layers[i];
}

double rigidityAt(const std::vector<Layer>& layers, double depth) { return layerAt(layers, depth).rigidity; }

}  // namespace slip::source
