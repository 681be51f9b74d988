// The source model as GeoJSON (RFC 7946): a FeatureCollection of one Polygon
// feature per subfault, in the grid's order, the fault's outline (a Polygon)
// and its top edge (a LineString), so that a GIS draws the fault without
// dissolving the subfaults, and a Point feature for the epicentre (the
// position map at x = y = 0, the FSP header's LAT LON). Each feature's `role`
// property tells which it is: subfault, fault_outline, top_edge, epicentre.
// A ring or line across the 180th meridian is cut there (MultiPolygon,
// MultiLineString).
//
// A subfault's polygon is its outline (outline.h): one exterior ring, five
// positions [lon, lat] with the first repeated last, counter-clockwise.
// Positions carry 6 decimals (about 0.1 m); no third coordinate (depth goes
// in the properties, since a position's height is above the ellipsoid) and no
// "crs" member (WGS 84 longitude and latitude).
//
// Subfault properties: role, w, l (row and column), slip_m, rake_deg (the slip
// vector's, rise_time.h), report_rake_deg (the report's rake), slip35_m,
// slip125_m, trup_s (rupture time a2(5)), rise_s, moment_Nm, distance_km
// (from the hypocentre in the fault plane), and depth_km when --depth is given.
// The epicentre's: role, name, event, m0_Nm, mw, strike_deg, dip_deg, rigidity_Pa (null
// for a layered structure, then named in `structure`), depth_km when given,
// and origin (the program and the model file). Numbers carry 9 significant
// digits; a value that is not finite is null.
#pragma once

#include <string>

#include "science/source_model.h"
#include "source/exchange_text.h"
#include "source/shared_figures.h"

namespace slip::source {

std::string geojsonText(const SourceModel& model, const FileLabels& labels);
// The same, taking the numbers it shares with the other files from `shared` (of the same model).
std::string geojsonText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared);

}  // namespace slip::source
