// What the exchange files (FSP, SRF, GeoJSON, KML) share: the names they
// carry, and their numbers.
//
// Numbers as the exchange files print them: std::to_chars, so that neither
// the locale nor the platform's C library changes a byte (the Windows build
// uses the same libstdc++ code). Each appends to `out`.
//
//   appendFixed(out, -110.5, 6)        -> "-110.500000"
//   appendFixed(out, -0.0000001, 6)    -> "0.000000"   (no minus before a zero)
//   appendGeneral(out, 0.123, 9)       -> "0.123"      (printf's %.9g)
//   appendGeneral(out, 3.0e10, 9)      -> "3e+10"
//   appendScientific(out, 1.5e20, 9)   -> "1.500000000e+20"
//
// A value that is not finite prints as to_chars gives it ("inf", "nan"); the
// JSON writer checks finiteness itself.
#pragma once

#include <string>
#include <string_view>

#include "source/source_model.h"

namespace slip::source {

// The names a file carries: the event (FSP, KML; --event, by default the
// model file's name) and the model file as the user named it.
struct FileLabels {
  std::string_view event;
  std::string_view model;
};

// "slipsource VERSION from MODEL": where a file came from.
std::string fileOrigin(const FileLabels& labels);
// The text on one line: each control character (a line end, a tab) as a
// blank, so that a name cannot break a header line or an XML text.
std::string oneLine(std::string_view text);
// The text as a JSON string, quotes included: '"' and '\' escaped, each
// control character as \u00xx. Appended to `out`.
void appendJsonString(std::string& out, std::string_view text);

// The medium a subfault lies in, as FSP and SRF describe it: S-wave speed
// and density, with DENS x VS^2 the rigidity used. With a layered structure,
// those of the layer holding the subfault (the last whose top is at or above
// its depth); with a constant rigidity mu, DEN = 2.7 g/cm^3 and VS =
// sqrt(mu / (1000 DEN)) m/s, so that 1000 DEN (kg/m^3) x VS^2 = mu.
inline constexpr double kConstantRigidityDensity = 2.7;  // g/cm^3
struct Medium {
  double vs = 0.0;       // km/s
  double density = 0.0;  // g/cm^3
};
Medium mediumAt(const SourceModel& model, const SubfaultSource& f);

void appendFixed(std::string& out, double value, int decimals);
void appendGeneral(std::string& out, double value, int significant);
void appendScientific(std::string& out, double value, int decimals);
void appendInteger(std::string& out, long long value);

}  // namespace slip::source
