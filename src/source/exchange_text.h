// What the exchange files (FSP, SRF, GeoJSON, KML) share: the names they
// carry, and their numbers (report/printf_numbers.h).
#pragma once

#include <string>
#include <string_view>

#include "report/printf_numbers.h"
#include "science/source_model.h"

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


}  // namespace slip::source
