// Round tick values ("nice numbers", Heckbert, Graphics Gems, 1990): steps of
// 1, 2 or 5 times a power of ten.
#pragma once

#include <vector>

namespace slip::map {

// The nice number near x > 0: the next at or above it when `roundUp`, else
// the nearest (1, 2, 5 or 10 times a power of ten).
double niceNumber(double x, bool roundUp);

// About `count` ticks at round values covering [low, high], from the largest
// multiple of the step at or below `low` to the smallest at or above `high`.
// A range of no width (or not finite) gives the single tick `low`.
std::vector<double> niceTicks(double low, double high, int count);

// The multiples of the smallest round step that puts at most `most` of them
// in [low, high], ascending: the ticks of an axis with room for `most` labels.
// Empty for a range of no width (or not finite).
std::vector<double> axisTicks(double low, double high, int most);

// The round step that puts between 4 and 10 multiples strictly inside
// (low, high) when the range allows it (the smallest such step); 0 for a
// range of no width.
double contourStep(double low, double high);

}  // namespace slip::map
