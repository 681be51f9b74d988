// The source model as KML 2.2 (Google Earth and most GIS): a Document named
// after the event, whose description holds the summary and a legend of the
// slip colours (six swatches from 0 to the largest slip), with one shared
// style per slip colour, a Placemark per subfault (its outline, outline.h,
// clamped to the ground; a description listing its values) and the epicentre
// as a Placemark.
//
// Colours come from slipmap's slip scale (map/colour_scale.h), from 0 to the
// largest slip, the same code that colours slipmap's cells; KML writes them
// aabbggrr (alpha, blue, green, red): the fill at alpha d9 (85 %), the
// outline a thin line in the same colour, opaque. A style's id is "slip"
// and the colour's rrggbb; styles follow the order of their first use.
// Coordinates are lon,lat tuples with 6 decimals; each ring repeats its first
// tuple last and runs counter-clockwise, as Google Earth fills it. Text goes
// in CDATA sections, or escaped where a name holds XML's special characters.
#pragma once

#include <string>

#include "science/source_model.h"
#include "source/exchange_text.h"
#include "source/shared_figures.h"

namespace slip::source {

std::string kmlText(const SourceModel& model, const FileLabels& labels);
// The same, taking the numbers it shares with the other files from `shared` (of the same model).
std::string kmlText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared);

}  // namespace slip::source
