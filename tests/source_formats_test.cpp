// slipsource's exchange files: the outlines, the slip vector's rake and the
// rise time, each format's header on a hand-made model, and the FSP and SRF
// files read back by a reader of the published formats (exchange_reader.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "compose/slip_composer.h"
#include "exchange_reader.h"
#include "science/geometry.h"
#include "science/moment.h"
#include "science/outline.h"
#include "science/rise_time.h"
#include "source/exchange_text.h"
#include "source/fsp_writer.h"
#include "source/geojson_writer.h"
#include "source/kml_writer.h"
#include "source/shared_figures.h"
#include "source/source_text.h"
#include "source/srf_writer.h"
#include "source_grid.h"

namespace slip::source {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kKmPerDegree = 6371.0 * kDeg;

struct Plane {
  double strike, dip;
  bool given;  // --strike and --dip, else fitted from the positions
};

// One slipping subfault: v35 and v125 (m/s) over samples first..last (1-based).
struct Slip {
  int il, iw;
  double v35, v125;
  int first, last;
};

// a1(1) = 2 (il - 22) km, a1(2) = iw - 11.5 km, so that the positions'
// mean is (0, 0) and the frame's origin lies at lon 0, lat 0; positions
// placed exactly on the plane; rupture time r / 2 (2 km/s from the hypocentre).
std::unique_ptr<SubfaultGrid> planeGrid(const Plane& plane, std::initializer_list<Slip> slips) {
  auto grid = std::make_unique<SubfaultGrid>();
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      const double x = 2.0 * (il - 22), y = iw - 11.5, h = y * std::cos(plane.dip * kDeg);
      const double s = plane.strike * kDeg;
      grid->a1(1, il, iw) = x;
      grid->a1(2, il, iw) = y;
      grid->a1(3, il, iw) = (x * std::sin(s) + h * std::cos(s)) / kKmPerDegree;
      grid->a1(4, il, iw) = (x * std::cos(s) - h * std::sin(s)) / kKmPerDegree;
      grid->a2(5, il, iw) = std::sqrt(x * x + y * y) / 2.0;
    }
  }
  for (const Slip& s : slips) {
    for (int k = s.first; k <= s.last; ++k) {
      grid->slp35(k, s.il, s.iw) = s.v35;
      grid->slp125(k, s.il, s.iw) = s.v125;
    }
  }
  return grid;
}

std::unique_ptr<SourceModel> computed(SubfaultGrid& grid, const Plane& plane, Timing timing = {}) {
  composeGrid(grid);
  GeometryOptions options;
  options.depth = 20.0;
  if (plane.given) options.strike = plane.strike, options.dip = plane.dip;
  Geometry geometry;
  auto model = std::make_unique<SourceModel>();
  SourceProblem p = deriveGeometry(grid, options, geometry);
  if (!p) p = computeSource(grid, geometry, Rigidity{}, timing, *model);
  EXPECT_FALSE(p) << p.message;
  return model;
}

// Four subfaults of row W 1: s35 > 0; s35 < 0 with s125 > 0; pure 125
// slip starting late, with its rupture time set to 0; a gap inside the slip.
const Plane kGiven{90.0, 30.0, true};
std::unique_ptr<SourceModel> handModel(Timing timing = {}) {
  auto grid = planeGrid(kGiven, {{1, 1, 0.5, 0.0, 1, 4}, {2, 1, -0.5, 0.5, 1, 2}, {3, 1, 0.0, 1.0, 3, 4},
                                 {4, 1, 0.5, 0.0, 1, 1}, {4, 1, 0.5, 0.0, 5, 5}});
  grid->a2(5, 3, 1) = 0.0;
  return computed(*grid, kGiven, timing);
}

// Every subfault slipping, the components' signs varying over the grid.
std::unique_ptr<SourceModel> busyModel(const Plane& plane) {
  auto grid = planeGrid(plane, {});
  for (int iw = 1; iw <= kRows; ++iw) {
    for (int il = 1; il <= kColumns; ++il) {
      for (int k = 1 + (il + iw) % 7; k <= 12 + iw % 5; ++k) {
        grid->slp35(k, il, iw) = 0.013 * std::sin(0.3 * il + 0.7 * k);
        grid->slp125(k, il, iw) = 0.021 * std::cos(0.2 * iw - 0.5 * k);
      }
    }
  }
  return computed(*grid, plane);
}

std::string lineStarting(const std::string& text, const std::string& start) {
  const auto at = text.find("\n" + start);
  return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

const FileLabels kLabels{"Test & <event>", "hand.dat"};

TEST(SourceFormats, NumberTextWorkedExamples) {
  const struct { double v; char how; int digits; const char* text; } cases[] = {
      {-110.5, 'f', 6, "-110.500000"}, {-0.0000001, 'f', 6, "0.000000"}, {-0.0, 'g', 9, "0"},
      {0.123, 'g', 9, "0.123"},        {3.0e10, 'g', 9, "3e+10"},         {1.5e20, 'e', 9, "1.500000000e+20"},
      {-2.5e-7, 'g', 9, "-2.5e-07"},   {-0.0004, 'f', 3, "0.000"},        {-0.0006, 'f', 3, "-0.001"},
  };
  for (const auto& c : cases) {
    std::string out;
    if (c.how == 'f') appendFixed(out, c.v, c.digits);
    if (c.how == 'g') appendGeneral(out, c.v, c.digits);
    if (c.how == 'e') appendScientific(out, c.v, c.digits);
    EXPECT_EQ(out, c.text) << c.v;
  }
}

TEST(SourceFormats, NumberTextMatchesPrintf) {
  // The C library as the oracle, over magnitudes from 1e-7 to 1e11, near
  // powers of ten and halfway cases; printf's minus zero aside. The glibc
  // printf only: the Windows build runs the same conversion code.
#ifdef _WIN32
  GTEST_SKIP() << "the oracle is glibc's printf";
#endif
  std::uint64_t state = 12345;
  auto next = [&] { return state = state * 6364136223846793005ull + 1442695040888963407ull; };
  for (int i = 0; i < 200000; ++i) {
    const double mantissa = static_cast<double>(next() >> 11) / 9007199254740992.0;
    const int exponent = static_cast<int>(next() % 19) - 7;
    double v = (1.0 + 9.0 * mantissa) * std::pow(10.0, exponent) * (next() % 2 ? -1.0 : 1.0);
    if (i % 4 == 1) v = std::round(v * 1e6) / 1e6 + 5e-7;      // halfway at 6 decimals
    if (i % 4 == 2) v = std::pow(10.0, exponent) * (1.0 - 1e-10);  // just below a power of ten
    const struct { char how; int digits; const char* format; } kinds[] = {
        {'g', 9, "%.9g"}, {'g', 6, "%.6g"}, {'f', 6, "%.6f"}, {'f', 4, "%.4f"}};
    for (const auto& k : kinds) {
      char expected[400];
      std::snprintf(expected, sizeof expected, k.format, v);
      std::string out;
      if (k.how == 'g') appendGeneral(out, v, k.digits);
      if (k.how == 'f') appendFixed(out, v, k.digits);
      std::string oracle = expected;
      if (oracle.find_first_of("123456789") == std::string::npos && oracle[0] == '-') oracle.erase(0, 1);
      ASSERT_EQ(out, oracle) << k.format << " " << v;
    }
  }
}

TEST(SourceFormats, SlipVectorRake) {
  // s35, s125 -> the direction; where s35 > 0 the report's rake, bit for bit.
  const struct { double s35, s125, rake; } cases[] = {
      {1.0, 1.0, 80.0},    {2.0, -1.0, 8.434948822922},  {-1.0, -1.0, -100.0}, {-1.0, 1.0, 170.0},
      {-1.0, 0.0, -145.0}, {-1.0, 3.0, 143.434948822922}, {0.0, 2.0, 125.0},   {0.0, -2.0, -55.0},
      {0.0, 0.0, 90.0},    {-0.0, 0.0, 90.0},
  };
  for (const auto& c : cases) {
    auto grid = std::make_unique<SubfaultGrid>();
    for (int k = 1; k <= 2; ++k) grid->slp35(k, 1, 1) = c.s35, grid->slp125(k, 1, 1) = c.s125;
    composeGrid(*grid);
    SubfaultSource f;
    f.slip35 = grid->slip35(1, 1), f.slip125 = grid->slip125(1, 1), f.rake = grid->rake(1, 1);
    const double rake = slipVectorRake(f);
    EXPECT_NEAR(rake, c.rake, 1e-9) << c.s35 << " " << c.s125;
    EXPECT_TRUE(rake > -180.0 && rake <= 180.0) << rake;
    if (f.slip35 > 0.0) {
      EXPECT_EQ(rake, f.rake);
    }
    if (f.slip35 != 0.0 || f.slip125 != 0.0) {
      EXPECT_NEAR(rake, std::remainder(35.0 + std::atan2(c.s125, c.s35) / kDeg, 360.0), 1e-9);
    }
  }
}

TEST(SourceFormats, RiseTime) {
  // samples (k, v35, v125) -> rise time at dt 0.25: above 10 % of the peak, linear between sample centres
  const struct { std::vector<std::tuple<int, double, double>> samples; double rise; } cases[] = {
      {{}, 0.0},                                    // no slip
      {{{7, 0.1, 0.0}}, 0.45},                      // one sample: 1.8 dt
      {{{3, 0.0, -0.2}, {9, 0.1, 0.0}}, 1.925},     // a gap of zeros inside counts
      {{{1, -0.1, 0.0}, {49, 0.0, 2.0}}, 0.35},     // a sample under 10 % of the peak is none; the series' end
      {{{1, -0.1, 0.0}, {49, 0.0, 1e-300}}, 0.35},  // a rate whose square underflows is none, as in the moment rate
  };
  for (const auto& c : cases) {
    SubfaultSource f;
    for (auto [k, v35, v125] : c.samples) {
      f.rate35[static_cast<std::size_t>(k - 1)] = v35;
      f.rate125[static_cast<std::size_t>(k - 1)] = v125;
    }
    EXPECT_NEAR(riseTime(f, 0.25), c.rise, 1e-12) << c.samples.size();
  }
  // Pulses (rates from sample 11 on) keep their rise time within 10 % when
  // 1 % of the peak is added to every sample of the series.
  const std::vector<double> pulses[] = {
      {1.0},                                    // one sample
      {0.5, 1.0, 1.0, 0.5},                     // a short plateau
      {0.2, 0.6, 1.0, 0.8, 0.6, 0.4, 0.2},      // a triangle of 4 s at 0.5 s
      {0.05, 0.3, 0.8, 1.0, 0.8, 0.5, 0.3, 0.15, 0.08, 0.04, 0.02},  // a smooth pulse with a tail
  };
  for (const std::vector<double>& pulse : pulses) {
    SubfaultSource clean, background;
    for (std::size_t k = 0; k < 49; ++k) {
      const double v = k >= 10 && k - 10 < pulse.size() ? pulse[k - 10] : 0.0;
      clean.rate35[k] = 0.8 * v;
      clean.rate125[k] = 0.6 * v;
      background.rate35[k] = 0.8 * (v + 0.01);
      background.rate125[k] = 0.6 * (v + 0.01);
    }
    EXPECT_NEAR(riseTime(background, 0.5) / riseTime(clean, 0.5), 1.0, 0.10) << pulse.size();
  }
}

TEST(SourceFormats, SharedFiguresAsEachFileWouldFormatThem) {
  auto fixed6 = [](double v) { std::string t; appendFixed(t, v, 6); return t; };
  auto general9 = [](double v) { std::string t; appendGeneral(t, v, 9); return t; };
  // Fitted and given orientations; then every seventh subfault moved along
  // strike, so that neighbours share some corners and not others.
  for (const Plane& plane : {Plane{200.0, 18.0, false}, Plane{135.0, 45.0, true}}) {
    for (const bool moved : {false, true}) {
      auto model = busyModel(plane);
      if (moved) {
        for (std::size_t i = 0; i < model->subfaults.size(); i += 7) model->subfaults[i].x += 0.001 * static_cast<double>(i);
      }
      SharedFigures shared(*model);
      const PositionMap map = positionMap(*model);
      for (std::size_t i = 0; i < model->subfaults.size(); ++i) {
        const SubfaultSource& f = model->subfaults[i];
        const Ring r = subfaultOutline(*model, map, f);
        const auto ring = shared.outline(i);
        for (std::size_t k = 0; k < 4; ++k) {
          ASSERT_EQ(ring[k].lon, fixed6(r[k].lon)) << i << ' ' << k << ' ' << moved;
          ASSERT_EQ(ring[k].lat, fixed6(r[k].lat)) << i << ' ' << k << ' ' << moved;
        }
        ASSERT_EQ(shared.position(i).lon, fixed6(f.lon));
        ASSERT_EQ(shared.position(i).lat, fixed6(f.lat));
        ASSERT_EQ(f.riseTime, riseTime(f, model->timing.dt)) << i;
        const double figures[] = {f.slip, slipVectorRake(f), f.ruptureTime, f.riseTime, f.depth};
        for (int which = 0; which < SharedFigures::kFigureCount; ++which) {
          ASSERT_EQ(shared.general(i, SharedFigures::Figure(which)), general9(figures[which])) << i << ' ' << which;
        }
      }
    }
  }
}

TEST(SourceFormats, OutlinesCounterClockwiseAroundEachSubfault) {
  const Plane planes[] = {{200.0, 18.0, false}, {90.0, 30.0, true}, {0.0, 60.0, false}, {315.0, 89.0, true}, {135.0, 45.0, true}};
  for (const Plane& plane : planes) {
    auto model = busyModel(plane);
    const PositionMap map = positionMap(*model);
    const double expectedArea = 2.0 * std::cos(plane.dip * kDeg);  // km^2 on the map
    for (const SubfaultSource& f : model->subfaults) {
      const Ring r = subfaultOutline(*model, map, f);
      ASSERT_EQ(r[0].lon, r[4].lon);
      ASSERT_EQ(r[0].lat, r[4].lat);
      double twiceArea = 0.0, lon = 0.0, lat = 0.0;
      for (std::size_t i = 0; i < 4; ++i) {
        twiceArea += (r[i].lon * r[i + 1].lat - r[i + 1].lon * r[i].lat) * kKmPerDegree * kKmPerDegree;
        lon += r[i].lon / 4.0;
        lat += r[i].lat / 4.0;
      }
      ASSERT_NEAR(twiceArea / 2.0, expectedArea, 1e-6) << plane.strike << " W" << f.iw << " L" << f.il;
      ASSERT_NEAR(lon, f.lon, 1e-9);  // the outline surrounds the model's own position
      ASSERT_NEAR(lat, f.lat, 1e-9);
    }
    const Ring fault = faultOutline(*model, map);
    const auto top = topEdge(*model, map);
    EXPECT_EQ(fault[0].lon, top[0].lon);  // the fault's outline starts at the top edge's start
    EXPECT_EQ(fault[0].lat, top[0].lat);
    const double topLength = std::hypot((top[1].lon - top[0].lon), top[1].lat - top[0].lat) * kKmPerDegree;
    EXPECT_NEAR(topLength, 86.0, 1e-6);  // 43 Dx
  }
}

// --dip given alone: the outline follows it, not the positions' dip; and a
// run without --depth writes no depth_km into the GeoJSON.
TEST(SourceFormats, GivenDipAloneWithoutDepth) {
  auto grid = planeGrid({200.0, 18.0, false}, {{5, 5, 1.0, 0.0, 1, 2}});
  composeGrid(*grid);
  Geometry geometry;
  SourceModel model;
  ASSERT_FALSE(deriveGeometry(*grid, {.dip = 40.0}, geometry));
  ASSERT_FALSE(computeSource(*grid, geometry, {}, {}, model));
  const Ring r = subfaultOutline(model, positionMap(model), model.at(5, 5));
  double twiceArea = 0.0;
  for (std::size_t i = 0; i < 4; ++i) twiceArea += r[i].lon * r[i + 1].lat - r[i + 1].lon * r[i].lat;
  EXPECT_NEAR(twiceArea / 2.0 * kKmPerDegree * kKmPerDegree, 2.0 * std::cos(40.0 * kDeg), 1e-3);
  EXPECT_EQ(geojsonText(model, kLabels).find("depth_km"), std::string::npos);
}

// The database's header layout, as pattern-based readers normalize it (values invented).
const char* const kDatabaseHeader[] = {
    "EventTAG: rateA",
    "Loc : LAT = 27.2000 LON = -110.5000 DEP = 16.00",
    "Size : LEN = 215.00 km WID = 88.00 km Mw = 7.89 Mo = 8.5979627e+20 Nm",
    "Mech : STRK = 200.00 DIP = 18.00 RAKE = 93.27 Htop = 1.81 km",
    "Rupt : HypX = 97.50 km HypZ = 46.00 km avTr = 3.76 s avVr = 2.62 km/s",
    "Invs : Nx = 43 Nz = 22 Fmin = 999 Hz Fmax = 999 Hz",
    "Invs : Dx = 5.00 km Dz = 4.00 km",
    "Invs : Ntw = 999 Nsg = 1 (# of time-windows,# of fault segments)",
    "Invs : LEN = 999 s SHF = 999 s (time-window length and time-shift)",
    "SVF : 999 (type of slip-velocity function used)",
};

TEST(SourceFormats, FspHeader) {
  auto model = handModel();
  const std::string fsp = fspText(*model, kLabels);
  EXPECT_EQ(fsp.substr(0, fsp.find('\n')),
            "% ----------------------------------  FINITE-SOURCE RUPTURE MODEL  --------------------------------");
  // Field by field against the database's layout: words alike, numbers where it has numbers (the
  // same where it has a whole number: counts and 999), the event's name for its own.
  const std::vector<std::string> lines = testing::fspPatternLines(fsp);
  ASSERT_EQ(lines.size(), std::size(kDatabaseHeader));
  auto words = [](const std::string& line) {
    std::vector<std::string> w;
    std::istringstream in(line);
    for (std::string s; in >> s;) w.push_back(s);
    return w;
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> ours = words(i == 0 ? "EventTAG: rateA" : lines[i]), theirs = words(kDatabaseHeader[i]);
    if (i == 0) {
      EXPECT_EQ(lines[0], "EventTAG: Test & <event>");
    }
    ASSERT_EQ(ours.size(), theirs.size()) << lines[i];
    for (std::size_t k = 0; k < ours.size(); ++k) {
      char* end = nullptr;
      std::strtod(theirs[k].c_str(), &end);
      const bool number = *end == '\0' && end != theirs[k].c_str();
      if (!number || theirs[k].find_first_of(".e") == std::string::npos) {
        EXPECT_EQ(ours[k], theirs[k]) << lines[i];
      } else {
        std::strtod(ours[k].c_str(), &end);
        EXPECT_TRUE(*end == '\0' && end != ours[k].c_str()) << lines[i];
      }
    }
  }
  // M0 = 3e10 Pa x 2e6 m^2 x (1 + sqrt(0.5) + 1 + 0.5); the rake of the summed slips (1, 1.5);
  // avTr = (1 x 2 + sqrt(.5) x 1 + 1 x 1 + 0.5 x 2.5) / (2.5 + sqrt(.5)) s; every velocity 2 km/s.
  const char* values[] = {
      "Loc : LAT = 0.000000 LON = 0.000000 DEP = 20",
      "Size : LEN = 86 km WID = 22 km Mw = 5.46 Mo = 1.924264069e+17 Nm",
      "Mech : STRK = 90 DIP = 30 RAKE = 91.3099325 Htop = 14.5 km",
      "Rupt : HypX = 43 km HypZ = 11 km avTr = 1.80802466 s avVr = 2 km/s",
      "Invs : Dx = 2 km Dz = 1 km",
  };
  for (const char* line : values) EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  // A constant rigidity: one layer of real values, a Poisson solid.
  EXPECT_NE(fsp.find("\n% 0 5.77350269 3.33333333 2.7\n"), std::string::npos);
  std::string columns = lineStarting(fsp, "%         LAT");
  for (auto at = columns.find("  "); at != std::string::npos; at = columns.find("  ")) columns.erase(at, 1);
  EXPECT_EQ(columns, "% LAT LON X==EW Y==NS Z SLIP RAKE TRUP RISE SF_MOMENT");
}

TEST(SourceFormats, FspRowsReadBack) {
  auto model = handModel();
  const testing::FspFile fsp = testing::readFsp(fspText(*model, kLabels));
  ASSERT_EQ(fsp.rows.size(), 946u);
  // il, slip, rake, trup, rise of row W 1, read back from rows 1 to 4 (W 1 L 1 first, along strike)
  const struct { int il; double slip, rake, rise; } cases[] = {
      {1, 1.0, 35.0, 2.2}, {2, std::sqrt(0.5), 170.0, 1.2}, {3, 1.0, 125.0, 1.4}, {4, 0.5, 35.0, 2.7}, {5, 0.0, 90.0, 0.0}};
  for (const auto& c : cases) {
    const std::vector<double>& row = fsp.rows[static_cast<std::size_t>(c.il - 1)];
    ASSERT_EQ(row.size(), 10u);
    const SubfaultSource& f = model->at(c.il, 1);
    EXPECT_NEAR(row[0], f.lat, 5e-7);  // the model's own positions, to 6 decimals
    EXPECT_NEAR(row[1], f.lon, 5e-7);
    EXPECT_NEAR(row[2], 2.0 * (c.il - 22), 1e-4);  // due east along strike 90
    EXPECT_NEAR(row[3], 10.5 * std::cos(30.0 * kDeg), 1e-4);  // up dip lies north
    EXPECT_NEAR(row[4], 20.0 - 10.5 * 0.5, 1e-4);
    EXPECT_NEAR(row[5], c.slip, 1e-6 * c.slip);
    EXPECT_NEAR(row[6], c.rake, 1e-6 * std::fabs(c.rake));
    EXPECT_NEAR(row[7], c.il == 3 ? 0.0 : f.ruptureTime, 1e-6 * f.ruptureTime);
    EXPECT_EQ(row[8], c.rise);
    EXPECT_NEAR(row[9], 6.0e16 * c.slip, 1e-9 * 6.0e16 * c.slip);
  }
}

TEST(SourceFormats, FspMomentsSumToM0) {
  auto model = busyModel({200.0, 18.0, false});
  const testing::FspFile fsp = testing::readFsp(fspText(*model, kLabels));
  ASSERT_EQ(fsp.rows.size(), static_cast<std::size_t>(fsp.value("invs.nx") * fsp.value("invs.nz")));
  double sum = 0.0;
  for (const auto& row : fsp.rows) sum += row[9];
  const double m0 = fsp.value("size.mo");
  EXPECT_NEAR(sum, m0, 1e-9 * m0);  // 946 moments of 10 digits against one of 10
  EXPECT_NEAR(m0, model->summary.moment, 5e-10 * m0);
  // The header's Mw is the summary's.
  const std::string summary = summaryText(*model, "busy");
  char mw[32];
  std::snprintf(mw, sizeof mw, "Mw %.2f (IASPEI", fsp.value("size.mw"));
  EXPECT_NE(summary.find(mw), std::string::npos) << mw;
  for (std::size_t i = 0; i < fsp.rows.size(); ++i) {
    const SubfaultSource& f = model->subfaults[i];
    ASSERT_NEAR(fsp.rows[i][5], f.slip, 1e-6 * f.slip) << i;
    ASSERT_NEAR(fsp.rows[i][6], slipVectorRake(f), 1e-6 * std::fabs(slipVectorRake(f))) << i;
  }
}

// Each point in its slip's own frame, its samples trimmed to its slip.
TEST(SourceFormats, SrfPoints) {
  auto grid = planeGrid(kGiven, {{1, 1, 0.5, 0.0, 1, 4}, {2, 1, 0.5, 0.0, 1, 2}, {2, 1, 0.0, 0.5, 3, 4},
                                 {3, 1, -0.3, 0.4, 3, 5}, {4, 1, 0.5, 0.0, 1, 1}, {4, 1, 0.5, 0.0, 5, 5}});
  auto model = computed(*grid, kGiven);
  const testing::SrfFile srf = testing::readSrf(srfText(*model, kLabels));
  ASSERT_TRUE(srf.complete);
  const double half = 50.0 * std::sqrt(0.5);
  // il -> RAKE, SLIP1 (cm), leading samples left out, NT1, NT2, the first SR1 and SR2 (cm/s)
  const struct { int il; double rake, slip1; int lead, nt1, nt2; double sr1, sr2; } cases[] = {
      {1, 35.0, 100.0, 0, 4, 0, 50.0, 0.0},                                   // the rake stays
      {2, 80.0, 2.0 * half, 0, 4, 4, half, -half},                            // turns from 35 to 125
      {3, 35.0 + std::atan2(0.4, -0.3) / kDeg, 75.0, 2, 3, 0, 50.0, 0.0},     // starts late, s35 < 0
      {4, 35.0, 50.0, 0, 5, 0, 50.0, 0.0},                                    // a gap inside the slip stays
      {5, 90.0, 0.0, 0, 0, 0, 0.0, 0.0},                                      // no slip
  };
  for (const auto& c : cases) {
    const testing::SrfPoint& p = srf.points[static_cast<std::size_t>(c.il - 1)];
    EXPECT_NEAR(p.rake, c.rake, 1e-6) << c.il;
    EXPECT_NEAR(p.slip1, c.slip1, 1e-7) << c.il;
    EXPECT_EQ(p.slip2, 0.0);
    EXPECT_NEAR(p.tinit, model->at(c.il, 1).ruptureTime + 0.5 * c.lead, 1e-6) << c.il;
    ASSERT_EQ(p.sr1.size(), static_cast<std::size_t>(c.nt1)) << c.il;
    ASSERT_EQ(p.sr2.size(), static_cast<std::size_t>(c.nt2)) << c.il;
    if (c.nt1 == 0) continue;
    EXPECT_NEAR(p.sr1[0], c.sr1, 1e-6) << c.il;
    if (c.nt2 > 0) {
      EXPECT_NEAR(p.sr2[0], c.sr2, 1e-6) << c.il;
    }
    double sum1 = 0.0, sum2 = 0.0;
    for (double v : p.sr1) sum1 += v * p.dt;
    for (double v : p.sr2) sum2 += v * p.dt;
    EXPECT_NEAR(sum1, p.slip1, 1e-6) << c.il;  // samples of 9 digits
    EXPECT_NEAR(sum2, 0.0, 1e-6) << c.il;
  }
}

// Read as the field reads it: the slip from u1 alone, and by a reader that
// expects PLANE on line 2; rakes turning all over the fault.
TEST(SourceFormats, SrfReadByU1Alone) {
  for (Onset onset : {Onset::kRuptureTime, Onset::kOrigin}) {
    auto model = busyModel({200.0, 18.0, false});
    model->timing.onset = onset;
    const std::string text = srfText(*model, kLabels);
    for (const testing::SrfFile& srf : {testing::readSrf(text), testing::readSrfPlaneOnLine2(text)}) {
      ASSERT_TRUE(srf.complete);
      EXPECT_EQ(srf.version, "2.0");
      ASSERT_EQ(srf.planes, 1);
      EXPECT_EQ(srf.planeLines[0][2], 43);
      EXPECT_EQ(srf.planeLines[0][3], 22);
      EXPECT_EQ(srf.planeLines[0][4], 86);  // LEN, WID km
      EXPECT_EQ(srf.planeLines[0][5], 22);
      EXPECT_NEAR(srf.planeLines[1][3], 0.0, 1e-12);  // SHYP: the hypocentre under the top edge's centre
      EXPECT_EQ(srf.planeLines[1][4], 11);            // DHYP
      ASSERT_EQ(srf.points.size(), 946u);
      double m0 = 0.0;
      for (std::size_t i = 0; i < srf.points.size(); ++i) {
        const testing::SrfPoint& p = srf.points[i];
        const SubfaultSource& f = model->subfaults[i];
        const double rigidity = p.den * p.vs * p.vs / 10.0;  // dyn/cm^2 to Pa
        ASSERT_NEAR(rigidity, 3.0e10, 3.0);
        ASSERT_NEAR(p.slip1 / 100.0, f.slip, 1e-8 * f.slip) << i;
        double sum = 0.0;
        for (double v : p.sr1) sum += v * p.dt / 100.0;
        ASSERT_NEAR(sum, f.slip, 1e-7 * f.slip) << i;
        m0 += rigidity * p.area * 1e-4 * p.slip1 / 100.0;
        const double start = onset == Onset::kOrigin ? 0.0 : f.ruptureTime;
        const double lead = (p.tinit - start) / p.dt;
        ASSERT_NEAR(lead, std::round(lead), 1e-6) << i;
        ASSERT_GE(lead, -1e-6) << i;
      }
      EXPECT_NEAR(m0, model->summary.moment, 1e-6 * model->summary.moment);
    }
  }
  // A comment line before PLANE would lose that reader the file.
  EXPECT_FALSE(testing::readSrfPlaneOnLine2("2.0\n# note\nPLANE 1\n").complete);
}

TEST(SourceFormats, GeoJsonFeatures) {
  auto model = handModel();
  const std::string json = geojsonText(*model, kLabels);
  std::size_t polygons = 0, points = 0;
  for (auto at = json.find("\"type\": \"Polygon\""); at != std::string::npos; at = json.find("\"type\": \"Polygon\"", at + 1)) ++polygons;
  for (auto at = json.find("\"type\": \"Point\""); at != std::string::npos; at = json.find("\"type\": \"Point\"", at + 1)) ++points;
  EXPECT_EQ(polygons, 947u);  // the subfaults and the fault's outline
  EXPECT_EQ(points, 1u);
  EXPECT_NE(json.find("\"properties\": {\"role\": \"fault_outline\"}"), std::string::npos);
  // 43 km either side of the hypocentre, 11 cos 30 km north of it (111.195 km a degree).
  EXPECT_NE(json.find("{\"type\": \"LineString\", \"coordinates\": [[-0.386708, 0.085672], [0.386708, 0.085672]]}, "
                      "\"properties\": {\"role\": \"top_edge\"}"),
            std::string::npos);
  EXPECT_EQ(json.find("crs"), std::string::npos);
  // W 1 L 2: s35 < 0, so the two rakes part; trup and distance sqrt(40^2 + 10.5^2) (/ 2 km/s).
  EXPECT_NE(json.find("\"properties\": {\"role\": \"subfault\", \"w\": 1, \"l\": 2, \"slip_m\": 0.707106781, \"rake_deg\": 170, "
                      "\"report_rake_deg\": -10, \"slip35_m\": -0.5, \"slip125_m\": 0.5, \"trup_s\": 20.6775845, "
                      "\"rise_s\": 1.2, \"moment_Nm\": 4.24264069e+16, \"distance_km\": 41.355169, \"depth_km\": 14.75}}"),
            std::string::npos);
  EXPECT_NE(json.find("\"properties\": {\"role\": \"epicentre\", \"name\": \"epicentre\", \"event\": \"Test & <event>\", \"m0_Nm\": "
                      "1.92426407e+17, \"mw\": 5.45617645"),
            std::string::npos);
}

// A name with a line end must not break a header line or a comment.
TEST(SourceFormats, NamesStayOnOneLine) {
  auto model = handModel();
  const FileLabels labels{"two\nlines\r", "m\tx.dat"};
  const struct { std::string text; const char* line; } cases[] = {
      {fspText(*model, labels), "\n% Event : two lines    [written by slipsource " SLIP_VERSION " from m x.dat]\n"},
      {kmlText(*model, labels), "\n<Document>\n<name>two lines </name>\n"},
      {geojsonText(*model, labels), "\"event\": \"two\\u000alines\\u000d\""},
  };
  for (const auto& c : cases) EXPECT_NE(c.text.find(c.line), std::string::npos) << c.line;
}

TEST(SourceFormats, KmlStylesAndNames) {
  auto model = handModel();
  const std::string kml = kmlText(*model, kLabels);
  EXPECT_EQ(kml.substr(0, 95), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n");
  EXPECT_NE(kml.find("<name>Test &amp; &lt;event&gt;</name>"), std::string::npos);
  // viridis' top (fde725) for the largest slip and its bottom (440154) for none, as aabbggrr.
  EXPECT_NE(kml.find("<Style id=\"slipfde725\"><LineStyle><color>ff25e7fd</color><width>0.5</width></LineStyle>"
                     "<PolyStyle><color>d925e7fd</color></PolyStyle></Style>"),
            std::string::npos);
  EXPECT_NE(kml.find("<Style id=\"slip440154\"><LineStyle><color>ff540144</color>"), std::string::npos);
  // The legend: the scale's bottom at 0 and its top at the largest slip, 1 m.
  EXPECT_NE(kml.find("<td style=\"background-color:#440154\">&#160;&#160;&#160;&#160;</td><td>0 m</td>"), std::string::npos);
  EXPECT_NE(kml.find("<td style=\"background-color:#fde725\">&#160;&#160;&#160;&#160;</td><td>1 m</td>"), std::string::npos);
  // Every style used is defined once, and every Placemark is there.
  std::set<std::string> defined, used;
  std::size_t placemarks = 0;
  for (auto at = kml.find("<Style id=\""); at != std::string::npos; at = kml.find("<Style id=\"", at + 1)) {
    EXPECT_TRUE(defined.insert(kml.substr(at + 11, 10)).second);
  }
  for (auto at = kml.find("<styleUrl>#"); at != std::string::npos; at = kml.find("<styleUrl>#", at + 1)) {
    used.insert(kml.substr(at + 11, 10));
  }
  for (auto at = kml.find("<Placemark>"); at != std::string::npos; at = kml.find("<Placemark>", at + 1)) ++placemarks;
  EXPECT_EQ(defined, used);
  EXPECT_EQ(placemarks, 947u);
}
// The first number of every "LON, LAT" or "LON,LAT" pair of decimal numbers
// in a text (std::regex is avoided: g++ 12 warns inside it at -O2).
std::vector<double> longitudesOfPairs(const std::string& text) {
  const auto decimal = [&](std::size_t at) {  // the end of "-?D+.D+" at `at`, or npos
    std::size_t i = at + (at < text.size() && text[at] == '-');
    const auto digits = [&](std::size_t j) {
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      return j;
    };
    const std::size_t point = digits(i);
    if (point == i || point >= text.size() || text[point] != '.') return std::string::npos;
    const std::size_t end = digits(point + 1);
    return end == point + 1 ? std::string::npos : end;
  };
  std::vector<double> lons;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (at > 0 && (std::isdigit(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '.')) continue;
    const std::size_t end = decimal(at);
    if (end == std::string::npos || end >= text.size() || text[end] != ',') continue;
    const std::size_t next = end + 1 + (end + 1 < text.size() && text[end + 1] == ' ');
    const std::size_t after = decimal(next);
    if (after == std::string::npos) continue;
    lons.push_back(std::stod(text.substr(at, end - at)));
    at = after - 1;
  }
  return lons;
}

// A fault across the 180th meridian, from either side, and one beside it:
// every longitude of every file and of the summary lies in (-180, 180], and
// GeoJSON cuts each subfault that crosses into two pieces meeting at 180 and -180.
TEST(SourceFormats, AntimeridianLongitudes) {
  const struct {
    double lon0;
    bool crosses;
  } cases[] = {{179.9, true}, {-179.95, true}, {178.0, false}, {-110.5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lon0);
    auto grid = testing::faultGrid({.strike = 80.0, .dip = 20.0, .lon0 = c.lon0, .lat0 = -17.0});
    for (int k = 1; k <= 3; ++k) grid->slp35(k, 20, 10) = 1.0;
    auto model = computed(*grid, {80.0, 20.0, false});
    const std::string geojson = geojsonText(*model, kLabels), kml = kmlText(*model, kLabels);
    std::vector<double> lons;
    for (const std::string* text : {&geojson, &kml}) {
      for (const double lon : longitudesOfPairs(*text)) {
        if (lon != -180.0 || text != &geojson) lons.push_back(lon);
      }
    }
    for (const std::vector<double>& row : testing::readFsp(fspText(*model, kLabels)).rows) lons.push_back(row[1]);
    lons.push_back(model->geometry.epicentreLon);
    ASSERT_GT(lons.size(), 946u);  // every corner of every file was found
    for (const double lon : lons) ASSERT_TRUE(lon > -180.0 && lon <= 180.0) << lon;  // -180: the cut's east side
    const std::size_t cut = geojson.find("MultiPolygon");
    EXPECT_EQ(cut != std::string::npos, c.crosses);
    if (cut != std::string::npos) {  // west piece first, to 180; the east piece from -180
      const std::string feature = geojson.substr(cut, geojson.find("properties", cut) - cut);
      EXPECT_NE(feature.find("[180.000000, "), std::string::npos) << feature;
      EXPECT_NE(feature.find("]]], [[[-180.000000, "), std::string::npos) << feature;
    }
  }
}

}  // namespace
}  // namespace slip::source
