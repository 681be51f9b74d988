// The source model as an SRF file, version 2.0 (the Standard Rupture Format
// of ground-motion simulation codes): one plane of 43 x 22 points.
//
//   2.0
//   # comment lines: origin, the rigidity's DEN and VS, the samples' timing
//   PLANE 1
//   ELON ELAT NSTK NDIP LEN WID     the top edge's centre (degrees), 43 22, km
//   STK DIP DTOP SHYP DHYP          degrees; the top edge's depth, km; the
//                                   hypocentre km along strike from the top
//                                   centre and km down dip from the top edge
//   POINTS 946
//   per point, in the grid's order (W 1 L 1 first, along strike first):
//   LON LAT DEP STK DIP AREA TINIT DT VS DEN
//   RAKE SLIP1 NT1 SLIP2 NT2 SLIP3 NT3
//   49 samples of SR1, then 49 of SR2, six a line
//
// u1 is the model's 35-degree component (RAKE = 35) and u2 its 125-degree
// one, since the format's u2 lies at RAKE + 90; u3 (opening) is 0 with no
// samples. Units: degrees, km (DEP, LEN, WID, DTOP, SHYP, DHYP), cm^2 (AREA),
// s (TINIT, DT), cm/s (VS), g/cm^3 (DEN), cm (SLIPn), cm/s (SRn). TINIT is
// the rupture time a2(5), or 0 with --onset origin; DT is the model's dt.
//
// DEN and VS are those of exchange_text.h's mediumAt, with VS = 100
// sqrt(mu / (1000 DEN)) cm/s, so that a reader's DEN VS^2 / 10 (dyn/cm^2 to
// Pa) is the rigidity the moments used. The format's samples are the rates at
// instants TINIT + (k - 1) DT; the model's are means over [TINIT + (k - 1)
// DT, TINIT + k DT): the numbers are written as they are.
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
