// The figure's layout: every mark of the fault plane, the map view, the
// colour bar and the title, computed in figure units from a report.
//
// Fault plane: column L 1 at the left (along strike), row W 1 at the top
// (down dip), one square cell per subfault. Map view below it: each subfault
// a patch at its longitude and latitude, longitude scaled by the cosine of
// the mean latitude.
#pragma once

#include <string>

#include "map/figure.h"
#include "map/report_data.h"

namespace slip::map {

struct FigureOptions {
  std::string name;           // the report's file name, for the title
  std::string title;          // replaces the name in the title when not empty
  double contourStep = 0.0;   // seconds between isochrones; 0 chooses one
  bool arrows = true;         // rake arrows on the fault plane
  int pixelWidth = 1000;      // the SVG's width in pixels
};

inline constexpr double kFigureWidth = 1000.0;
inline constexpr double kCellSize = 18.0;
inline constexpr double kPlaneLeft = 70.0;
inline constexpr double kPlaneTop = 90.0;
inline constexpr int kMaxContourLines = 200;

struct CellIndex {
  int il = 0;  // 1..43
  int iw = 0;  // 1..22
};

// The figures a report sums up to; each `has` says whether the report gives
// enough values for it.
struct Summary {
  bool hasSlip = false;
  double maxSlip = 0.0;         // the largest slip, 0 when none is above 0
  CellIndex maxCell;            // its first cell, row by row
  bool hasRake = false;
  double meanRake = 0.0;        // slip-weighted mean direction, degrees in (-180, 180]
  bool hasEpicentre = false;
  CellIndex epicentre;          // the first cell of the smallest distance
  bool hasTimes = false;
  double minTime = 0.0, maxTime = 0.0;
};

Summary summarize(const ReportData& data);

// The centre of fault-plane cell (il, iw) in figure units.
Point cellCentre(int il, int iw);

// The unit direction of a rake arrow in figure units: anticlockwise from +L
// with up-dip upward, so rake 0 is (1, 0), 90 is (0, -1), -90 is (0, 1).
Point rakeDirection(double rakeDegrees);

// The isochrone interval: `requested` when above 0, else a round step giving
// about 4 to 10 lines over the report's rupture times; 0 when the times span
// no range.
double isochroneStep(const Summary& summary, double requested);

Figure layoutFigure(const ReportData& data, const FigureOptions& options);

}  // namespace slip::map
