// The source model as an FSP file (the finite-source text of SRCMOD and of
// agency finite-fault products): '%' header lines of "KEY = value" pairs, the
// velocity-density structure, then one row per subfault.
//
// Header, laid out line by line as the finite-source database's own files
// (pattern-based readers rely on it: the title inside the first rule line,
// keys and units in the database's order, DEP a bare number, the database's
// comment texts): the hypocentre (LAT, LON: the position map at x = y = 0;
// DEP: the given depth, km), the fault's length 43 Dx and width 22 Dz, Mw (as the summary
// prints it, two decimals) and Mo (N m, 10 significant digits), strike, dip,
// the average rake, Htop (the top edge's depth), HypX and HypZ (km from the
// top-left corner, along strike and down dip, in the fault plane), avTr and
// avVr (rise_time.h). What the model cannot know, the frequency band, the
// time windows, the slip-velocity function and the data, is 999, the format's
// "unknown". The structure: the layers of --structure, or for a constant
// rigidity one layer of density 2.7, S speed sqrt(mu / DENS) (exchange_text.h)
// and P speed sqrt(3) times it, a Poisson solid.
//
// Rows `LAT LON X==EW Y==NS Z SLIP RAKE TRUP RISE SF_MOMENT`: the subfault's
// own position (degrees), km east and north of the epicentre through the
// position map (ae x + be y, an x + bn y: the hypocentre's row is 0 0), its depth (km), slip (m), the slip vector's rake (degrees), rupture
// time a2(5) and rise time (s), and moment (N m). From W 1 L 1 (the start of
// strike, up dip) along strike, then row by row down dip: the grid's order.
// Slips, angles and times carry 9 significant digits, moments 10.
//
// The depth is required (Z, DEP, Htop): the command refuses --fsp without --depth.
#pragma once

#include <string>

#include "science/source_model.h"
#include "source/exchange_text.h"
#include "source/shared_figures.h"

namespace slip::source {

std::string fspText(const SourceModel& model, const FileLabels& labels);
// The same, taking the numbers it shares with the other files from `shared` (of the same model).
std::string fspText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared);

}  // namespace slip::source
