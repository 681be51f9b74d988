#include "source/exchange_text.h"

#include <cmath>

#include "science/structure.h"

namespace slip::source {
namespace {


}  // namespace

std::string fileOrigin(const FileLabels& labels) {
  return "slipsource " SLIP_VERSION " from " + oneLine(labels.model);
}

Medium mediumAt(const SourceModel& model, const SubfaultSource& f) {
  Medium m;
  if (model.rigidity.layered && !model.rigidity.layers.empty()) {
    const Layer& holding = layerAt(model.rigidity.layers, f.depth);  // the layer whose rigidity f has
    m.density = holding.density;
    m.vs = holding.vs;
    return m;
  }
  m.density = kConstantRigidityDensity;
  m.vs = std::sqrt(f.rigidity / (1000.0 * m.density)) / 1000.0;
  return m;
}

std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

void appendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace slip::source
