#include "source/exchange_text.h"

#include <charconv>
#include <cmath>

namespace slip::source {
namespace {

// A printed number whose digits are all zeros loses its minus sign: "-0.000000"
// and "-0" say nothing a reader needs.
void append(std::string& out, double value, std::chars_format format, int precision) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, format, precision);
  const char* begin = text;
  if (ec != std::errc{}) return;  // 64 bytes hold any double at the precisions used here
  if (*begin == '-') {
    bool allZero = true;
    for (const char* p = begin + 1; p < end && *p != 'e'; ++p) {
      if (*p >= '1' && *p <= '9') {
        allZero = false;
        break;
      }
      if (*p == 'i' || *p == 'n') allZero = false;  // -inf, -nan
    }
    if (allZero) ++begin;
  }
  out.append(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

std::string fileOrigin(const FileLabels& labels) {
  return "slipsource " SLIP_VERSION " from " + std::string(labels.model);
}

Medium mediumAt(const SourceModel& model, const SubfaultSource& f) {
  Medium m;
  if (model.rigidity.layered && !model.rigidity.layers.empty()) {
    const Layer* holding = &model.rigidity.layers.front();
    for (const Layer& layer : model.rigidity.layers) {
      if (layer.top <= f.depth) holding = &layer;
    }
    m.density = holding->density;
    m.vs = holding->vs;
    return m;
  }
  m.density = kConstantRigidityDensity;
  m.vs = std::sqrt(f.rigidity / (1000.0 * m.density)) / 1000.0;
  return m;
}

void appendFixed(std::string& out, double value, int decimals) {
  append(out, value, std::chars_format::fixed, decimals);
}

void appendGeneral(std::string& out, double value, int significant) {
  if (value == 0.0) {  // most samples of a model: no conversion
    out += '0';
    return;
  }
  append(out, value, std::chars_format::general, significant);
}

void appendScientific(std::string& out, double value, int decimals) {
  append(out, value, std::chars_format::scientific, decimals);
}

void appendInteger(std::string& out, long long value) {
  char text[24];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  (void)ec;
  out.append(text, end);
}

}  // namespace slip::source
