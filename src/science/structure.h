// The layered velocity-density structure that gives each subfault its rigidity.
//
// A structure file holds one layer a line, from the surface down:
//
//   # thickness_km  vp_km_s  vs_km_s  density_g_cm3
//   2.5   4.50  2.60  2.40
//   10    6.00  3.46  2.70     # upper crust
//   0     8.00  4.62  3.30     # the last layer extends to any depth
//
// Fields are separated by blanks or tabs; '#' starts a comment; blank lines
// and line ends of LF, CR LF or a lone CR are all accepted. The rigidity of a
// layer is mu = rho Vs^2 in SI units: density x 1000 (kg/m^3) times
// (Vs x 1000 m/s)^2, in Pa. A depth exactly on a boundary lies in the layer
// below it; the last layer's thickness is read but not used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "science/source_model.h"

namespace slip::source {

// A fault in a structure text: where (1-based, line 0 for the text as a
// whole) and what.
struct StructureError {
  long long line = 0;
  long long column = 0;
  long long lastColumn = 0;
  std::string message;  // empty: no error
  explicit operator bool() const { return !message.empty(); }
};

// Reads the layers of `text` into `layers` (their rigidity and top filled).
// Every value must be finite; thickness >= 0, 0 < Vs < Vp <= 20 km/s and
// 0.5 <= density <= 20 g/cm^3, which catches m/s and kg/m^3 given by mistake.
StructureError parseStructure(std::string_view text, std::vector<Layer>& layers);

// The layer that holds `depth` (km, >= 0): the last whose top is at or
// above it. `layers` is not empty.
const Layer& layerAt(const std::vector<Layer>& layers, double depth);
// The rigidity (Pa) of that layer.
double rigidityAt(const std::vector<Layer>& layers, double depth);

}  // namespace slip::source
