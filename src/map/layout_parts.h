// The pieces of the layout, for figure_layout.cpp: each appends its marks.
#pragma once

#include <string>

#include "map/figure_layout.h"

namespace slip::map {

// The tooltip of subfault (il, iw): its numbers as the report prints them.
std::string cellTooltip(const ReportData& data, int il, int iw);

// Marks' builders.
Mark rectMark(double x, double y, double w, double h, std::optional<Colour> fill);
Mark textMark(Point at, std::string text, double size, Anchor anchor);
Mark lineMark(std::vector<Point> points, Colour stroke, double width);
// A five-pointed star of outer radius r centred on `at`.
Mark starMark(Point at, double r);

inline constexpr Colour kInk{0, 0, 0};
inline constexpr Colour kPaper{255, 255, 255};

// The fault plane with its arrows, isochrones, axes and epicentre; returns
// the bottom of what it drew.
double layoutFaultPlane(const ReportData& data, const Summary& summary, const FigureOptions& options,
                        std::vector<Mark>& marks);
// The colour bar and the "no value" legend entry right of the fault plane.
void layoutColourBar(const Summary& summary, std::vector<Mark>& marks);
// The map view from `top` down; returns its bottom.
double layoutMapView(const ReportData& data, const Summary& summary, double top, std::vector<Mark>& marks);

}  // namespace slip::map
