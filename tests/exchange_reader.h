// Readers of the FSP and SRF files as the formats are published, written
// apart from slipsource's writers so that a test reads what a user's tools
// would: FSP header keys found by name (case-blind), rows as whitespace-
// separated numbers; SRF as a whitespace stream after its '#' lines (the
// reference reader's way), or as the readers that expect PLANE on line 2.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace slip::testing {

struct FspFile {
  // "LABEL.KEY" (lower case, e.g. "size.mo", "invs.len") -> the number after '='.
  std::map<std::string, double> header;
  std::vector<std::vector<double>> rows;  // one per subfault, as written
  double value(const std::string& key) const;  // NaN when missing
};
FspFile readFsp(std::string_view text);

struct SrfPoint {
  double lon, lat, dep, stk, dip, area, tinit, dt, vs, den;
  double rake, slip1, slip2, slip3;
  std::vector<double> sr1, sr2, sr3;
};
struct SrfFile {
  std::string version;
  int planes = 0;
  std::vector<std::vector<double>> planeLines;  // two per plane
  std::vector<SrfPoint> points;
  bool complete = false;  // every declared point read, nothing left over
};
SrfFile readSrf(std::string_view text);
// As the readers that expect PLANE on line 2 (or read the segment count
// there): nothing read unless line 2 is "PLANE n".
SrfFile readSrfPlaneOnLine2(std::string_view text);

// The FSP header as pattern-based readers see it: each '%' line without its
// '%', runs of blanks collapsed, rule lines (starting '-'), empty lines and
// the "Event :" line dropped, up to the first "Data" line (not included).
std::vector<std::string> fspPatternLines(std::string_view text);

}  // namespace slip::testing
