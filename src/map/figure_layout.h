// The figure's layout: every mark of the title, the fault plane, the map
// view, the colour bar and an optional moment-rate panel, computed in figure
// units from a report.
//
// The fault plane and the map view stand side by side, as tall as each
// other, and fill the figure's width; the colour bar stands at the right.
// Fault plane: column L 1 at the left (along strike), row W 1 at the top
// (down dip), one square cell per subfault. Map view: each subfault a patch
// at its longitude and latitude, longitude scaled by the cosine of the mean
// latitude, with a scale bar in km and a north arrow; the frame holds the
// patches' extent widened to the frame's proportions.
//
// The figure is laid out kFigureMinWidth to kFigureMaxWidth units wide (the
// pixel width, within those bounds) and scaled to its pixel width, so that
// its smallest text, 10 units, is at least 9 pixels high from 600 pixels on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "map/figure.h"
#include "map/report_data.h"

namespace slip::map {

// The moment-rate function, drawn as a panel below the two views when given;
// what it holds is computed elsewhere.
struct MomentPanel {
  std::vector<double> times;  // s, ascending
  std::vector<double> rates;  // N m/s, one for each time
  std::string heading;        // above the panel, wrapped to its width; empty: "Moment rate (N m/s)"
  struct Marker {
    double time = 0.0;        // s
    std::string label;        // "T5", "centroid", ...
  };
  std::vector<Marker> markers;  // marked on the curve with their times
};

// The fault's outline in map view, drawn over the patches when given.
struct FaultOutline {
  // Longitude and latitude of the four corners, in order around the fault:
  // corners[0] to corners[1] is the top edge, along strike (drawn thicker).
  Point corners[4];
  double strike = 0.0;        // degrees clockwise from north, for the strike arrow
};

// A station's ground displacement, drawn on the map view.
struct Station {
  std::string name;
  double lon = 0.0, lat = 0.0;          // degrees
  double east = 0.0, north = 0.0, up = 0.0;  // m
};

struct FigureOptions {
  std::string name;           // the report's file name, for the title
  std::string title;          // replaces the name in the title when not empty
  double contourStep = 0.0;   // seconds between isochrones; 0 chooses one
  bool arrows = true;         // rake arrows on the fault plane
  int pixelWidth = 1000;      // the SVG's width in pixels
  std::optional<MomentPanel> moment;
  std::optional<FaultOutline> outline;
  std::vector<Station> stations;   // displacements on the map view
  std::vector<std::string> notes;  // below everything, each wrapped: what was left out and why
};

inline constexpr double kFigureMinWidth = 600.0;
inline constexpr double kFigureMaxWidth = 1000.0;
inline constexpr int kMaxContourLines = 200;

struct CellIndex {
  int il = 0;  // 1..43
  int iw = 0;  // 1..22
};

// The figures a report sums up to; each `has` says whether the report gives
// enough values for it.
struct Summary {
  bool hasSlip = false;
  double maxSlip = 0.0;         // the largest slip
  CellIndex maxCell;            // its first cell, row by row
  double minSlip = 0.0;         // the smallest slip
  bool missingSlip = false;     // a cell has no slip value
  bool hasRake = false;
  double meanRake = 0.0;        // slip-weighted mean direction, degrees in (-180, 180]
  bool hasEpicentre = false;
  CellIndex epicentre;          // the first cell of the smallest distance
  bool hasTimes = false;
  double minTime = 0.0, maxTime = 0.0;
  // The colour scale: from 0, or from the smallest slip when one is
  // negative, to the largest slip (to 0 when none is above it).
  double scaleLow() const { return minSlip < 0.0 ? minSlip : 0.0; }
  double scaleHigh() const { return maxSlip > 0.0 ? maxSlip : 0.0; }
};

Summary summarize(const ReportData& data);

// The unit direction of a rake arrow in figure units: anticlockwise from +L
// with up-dip upward, so rake 0 is (1, 0), 90 is (0, -1), -90 is (0, 1).
Point rakeDirection(double rakeDegrees);

// The isochrone interval: `requested` when above 0, else a round step giving
// about 4 to 10 lines over the report's rupture times; 0 when the times span
// no range.
double isochroneStep(const Summary& summary, double requested);

Figure layoutFigure(const ReportData& data, const FigureOptions& options);

}  // namespace slip::map
