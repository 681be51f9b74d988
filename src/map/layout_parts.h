// The pieces of the layout, for figure_layout.cpp: each appends its marks
// inside the rectangle the arrangement gives it. Texts are placed through
// placeText, which keeps every text clear of the others already placed.
#pragma once

#include <string>
#include <vector>

#include "map/figure_layout.h"

namespace slip::map {

// Text sizes in figure units; the smallest is the floor the layout keeps.
inline constexpr double kTickText = 10.0;
inline constexpr double kAxisText = 11.0;
inline constexpr double kHeadingText = 12.0;
inline constexpr double kTitleText = 16.0;

inline constexpr Colour kInk{0, 0, 0};
inline constexpr Colour kPaper{255, 255, 255};

// The tooltip of subfault (il, iw): its numbers as the report prints them.
std::string cellTooltip(const ReportData& data, int il, int iw);

// Marks' builders.
Mark rectMark(double x, double y, double w, double h, std::optional<Colour> fill);
Mark textMark(Point at, std::string text, double size, Anchor anchor);
Mark lineMark(std::vector<Point> points, Colour stroke, double width);
// A five-pointed star of outer radius r centred on `at`.
Mark starMark(Point at, double r);

// The texts placed so far and the room they may use.
struct TextRoom {
  Box within;               // every text stays inside it
  std::vector<Box> taken;   // the boxes of the texts (and keep-out marks) placed so far
  // True when `box`, padded by `pad`, lies within and clear of every taken box.
  bool free(const Box& box, double pad) const;
};

// Appends `text` and takes its box when it is free (padded by `pad`); false,
// with nothing appended, when it is not.
bool placeText(const Mark& text, TextRoom& room, std::vector<Mark>& marks, double pad = 2.0);

// The fault plane with its arrows, isochrones, axes and epicentre, its cells
// filling parts.plane.
void layoutFaultPlane(const ReportData& data, const Summary& summary, const FigureOptions& options,
                      const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks);
// The plane's heading ("Fault plane: slip, rake arrows, ...").
std::string faultPlaneHeading(const Summary& summary, const FigureOptions& options);

// The colour bar in parts.colourBar; and the width its labels (and the
// legend's) need right of the bar.
void layoutColourBar(const Summary& summary, const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks);
double colourBarLabelWidth(const Summary& summary);
// The legend below the colour bar: the epicentre's star, the fault's top
// edge when the map draws it, the "no value" swatch when a cell has no
// slip, and the displacements' reference arrow and discs when drawn; sets
// parts.legend.
void layoutLegend(const Summary& summary, bool topEdge, FigureParts& parts, TextRoom& room, std::vector<Mark>& marks);

// The map view: what the arrangement needs to know before it sizes the
// frame, then the marks in it.
struct MapPatch {
  int il = 0, iw = 0;
  Point corners[4];          // longitude (unwrapped), latitude
};
struct MapPlan {
  std::vector<MapPatch> patches;
  std::vector<Point> centres; // the known positions (longitude unwrapped), with their cells
  std::vector<CellIndex> centreCells;
  bool collapsed = false;     // the positions do not spread: all at one point
  double west = 0.0, east = 0.0, south = 0.0, north = 0.0;  // the extent to show
  double shrink = 1.0;        // the cosine of the mean latitude
  double reference = 0.0;     // the longitude the others are unwrapped about
  // Longitudes are unwrapped to within 180 degrees of the first one, so that
  // a fault across the dateline stays whole.
  double aspect() const { return (east - west) * shrink / (north - south); }
  bool hasPositions() const { return !centres.empty(); }
};
MapPlan planMap(const ReportData& data, const FigureOptions& options);
// The widest latitude label of the plan's extent, about.
double mapLabelWidth(const MapPlan& plan);
// Draws in parts.map (given) and sets parts.scaleBar and parts.northArrow.
void layoutMapView(const MapPlan& plan, const ReportData& data, const Summary& summary, const FigureOptions& options,
                   FigureParts& parts, TextRoom& room, std::vector<Mark>& marks);

// Displacement marks: an arrow from `from` along (dx, dy), black on a thin
// white halo; a disc of radius r (a 12-sided polygon), ringed in black.
void displacementArrow(Point from, double dx, double dy, std::vector<Mark>& marks, const std::string& tooltip);
Mark disc(Point at, double r, Colour fill);
inline constexpr Colour kUplift{200, 40, 40};
inline constexpr Colour kSubsidence{40, 80, 200};

// The moment-rate panel with its axes in parts.moment.
void layoutMomentPanel(const MomentPanel& panel, const FigureParts& parts, TextRoom& room, std::vector<Mark>& marks);

}  // namespace slip::map
