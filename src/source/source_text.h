// The source model as text: the summary (one quantity a line, or one JSON
// object with the same quantities) and the moment-rate table. Pure: each
// returns the bytes, the command writes them.
#pragma once

#include <string>
#include <string_view>

#include "science/source_model.h"

namespace slip::source {

// "Mw 7.41 (IASPEI: 2/3 (log10 M0 - 9.1))" and the rest, each line "NAME VALUE UNIT (NOTE)".
// A derived dip with its uncertainty and the frame it comes from: "17.97 deg +- 0.05 (derived in ...)".
std::string derivedDip(const Geometry& geometry);

std::string summaryText(const SourceModel& model, std::string_view modelName);
// The same quantities as one JSON object, numbers with 9 significant digits.
std::string summaryJson(const SourceModel& model, std::string_view modelName);
// "# " lines (the assumptions, M0, Mw, the column names), then "t_s moment_rate_Nm_s"
// rows: each bin's centre and mean rate, 9 significant digits.
std::string momentRateTable(const SourceModel& model, std::string_view modelName);

}  // namespace slip::source
