// The source model as an SRF file, version 2.0 (the Standard Rupture Format
// of ground-motion simulation codes): one plane of 43 x 22 points.
//
//   2.0                             nothing between it and PLANE: several
//                                   readers expect PLANE on line 2
//   PLANE 1
//   ELON ELAT NSTK NDIP LEN WID     the top edge's centre (degrees), 43 22, km
//   STK DIP DTOP SHYP DHYP          degrees; the top edge's depth, km; the
//                                   hypocentre km along strike from the top
//                                   centre and km down dip from the top edge
//   POINTS 946
//   per point, in the grid's order (W 1 L 1 first, along strike first):
//   LON LAT DEP STK DIP AREA TINIT DT VS DEN
//   RAKE SLIP1 NT1 SLIP2 NT2 SLIP3 NT3
//   NT1 samples of SR1, then NT2 of SR2, six a line
//
// Each point is written in its slip's own frame, since many readers take the
// slip from u1 alone: RAKE is the slip vector's rake (rise_time.h), SR1 the
// rate vector (v35, v125) projected on it and SR2 on RAKE + 90 (the format's
// u2), so SLIP1 is the total slip and the u2 slip is 0. Where the rake does
// not turn during slip, SR2 vanishes and NT2 = 0; where it turns, SR2 is
// written (its integral is 0) and a reader of u1 alone misses the slip
// across the mean direction, not the total. A point without slip has NT1 =
// NT2 = 0. u3 (opening) is 0 with no samples.
//
// Samples run from the point's first to its last sample that slips: TINIT is
// the rupture time a2(5) (0 with --onset origin) plus DT for each leading
// sample without slip, so NT1 DT spans the point's slip. That span is not the
// rise time of FSP and GeoJSON, which is how long the rate stays above 10 %
// of its peak (rise_time.h). DT is the model's dt. The format's samples are
// the rates at instants TINIT + (k - 1) DT; the model's are means over
// [TINIT + (k - 1) DT, TINIT + k DT): the numbers are written as they are.
// Units: degrees, km (DEP, LEN, WID, DTOP, SHYP, DHYP), cm^2 (AREA), s
// (TINIT, DT), cm/s (VS), g/cm^3 (DEN), cm (SLIPn), cm/s (SRn).
//
// DEN and VS are those of exchange_text.h's mediumAt, with VS = 100
// sqrt(mu / (1000 DEN)) cm/s, so that a reader's DEN VS^2 / 10 (dyn/cm^2 to
// Pa) is the rigidity the moments used.
//
// The depth is required (DEP, DTOP): the command refuses --srf without --depth.
#pragma once

#include <string>

#include "science/source_model.h"
#include "source/exchange_text.h"
#include "source/shared_figures.h"

namespace slip::source {

std::string srfText(const SourceModel& model, const FileLabels& labels);
// The same, taking the numbers it shares with the other files from `shared` (of the same model).
std::string srfText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared);

}  // namespace slip::source
