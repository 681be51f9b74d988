// Writes a synthetic slip-rate model in the layout slipreport reads.
//
//   make_model SEED [OUTPUT [STYLE [DENSITY]]]   OUTPUT defaults to standard output ("-")
//
// Seed 1 with the default style and density reproduces examples/rateA.dat. The model: a 43 x 22 grid
// of 5 km x 4 km subfaults on a plane striking 200 degrees and dipping 18,
// an elliptical slip patch around the epicentre (subfault 20, 12) with the
// rake wandering around 90 degrees, split into the two components along
// rakes 35 and 125; each component is a smoothed triangular slip-rate pulse
// of 49 samples 0.5 s apart, so half the samples' sum is its slip in metres.
// Rupture times follow a circular front at 2.7 km/s.
//
// Styles of writing the numbers:
//   mixed    (the default) the mix of forms model files carry: plain
//            decimals, E and D exponents, repeat counts for runs of zeros;
//            values rounded to the decimals written
//   e5       every value as %.5E, zeros included
//   list17   every value unrounded with 17 significant digits, as a
//            list-directed WRITE of a double lays it out: from 0.1 up in fixed
//            notation, others as d.ddddddddddddddddE-ddd, 3 blanks before each
//   listwrite list17's numbers padded as a compiler's list-directed WRITE
//            pads them: a blank, then each value right-aligned in 25
//            columns, a fixed one (0 and [0.1, 1e17)) followed by the 5
//            blanks its missing exponent would fill
// All styles describe the same subfaults: the random draws are the same.
//
// Densities:
//   sparse   (the default) a subfault slips only inside the patch, and only
//            while its pulse lasts: most samples are zeros
//   dense    every sample also carries a small slip rate of its own drawn at
//            random (a creeping background), so almost every value is a
//            different nonzero number; only coordinates on the epicentre's
//            row and column stay zero
//   spread   as dense, but the background rates spread over 1e-4 to 5 m/s,
//            three quarters of them 0.1 m/s or more
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRows = 22;      // down dip, iw
constexpr int kCols = 43;      // along strike, il
constexpr int kSamples = 49;
constexpr int kEpiCol = 20;
constexpr int kEpiRow = 12;
constexpr double kDx = 5.0;    // km along strike
constexpr double kDw = 4.0;    // km down dip
constexpr double kDt = 0.5;    // s between samples
constexpr double kPi = 3.14159265358979323846;

// splitmix64: small, and the same sequence on every platform.
struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

enum class Style { kMixed, kE5, kList17, kListWrite };
enum class Density { kSparse, kDense, kSpread };

// 17 significant digits: fixed notation for 0 and from 0.1 to 1e17, else a
// 3-digit exponent. `padded`: in 25 columns, a fixed value followed by 5
// blanks; else 3 blanks before each value.
void writeList17(std::FILE* out, double v, bool padded) {
  char text[64];
  std::snprintf(text, sizeof text, "%.16E", v);
  const char* e = std::strchr(text, 'E');
  const int exponent = std::atoi(e + 1);
  char number[64];
  const bool fixed = padded ? v == 0.0 || (exponent >= -1 && exponent < 17) : v != 0.0 && exponent >= -1 && exponent < 16;
  if (fixed) {
    std::snprintf(number, sizeof number, "%.*f", 16 - exponent, v);
  } else {
    std::snprintf(number, sizeof number, "%.*sE%c%03d", static_cast<int>(e - text), text, exponent < 0 ? '-' : '+',
                  std::abs(exponent));
  }
  if (!padded)
    std::fprintf(out, "   %s", number);
  else
    std::fprintf(out, " %*s%s", fixed ? 20 : 25, number, fixed ? "     " : "");
}

// One value in the `form` (0..5) drawn for it, or in the style's one form.
void writeValue(std::FILE* out, int form, Style style, double v, int decimals) {
  if (style == Style::kE5) {
    std::fprintf(out, " %.5E", v);
    return;
  }
  if (style == Style::kList17 || style == Style::kListWrite) {
    writeList17(out, v, style == Style::kListWrite);
    return;
  }
  char text[64];
  switch (form) {
    case 0:
    case 1:
    case 2:
      std::snprintf(text, sizeof text, "%.*f", decimals, v);
      break;
    case 3:
      std::snprintf(text, sizeof text, "%.*E", decimals, v);
      break;
    case 4:
      std::snprintf(text, sizeof text, "%.*e", decimals, v);
      break;
    default:  // the D exponent letter that double-precision model files use
      std::snprintf(text, sizeof text, "%.*E", decimals, v);
      if (char* e = std::strchr(text, 'E')) *e = 'D';
      break;
  }
  std::fprintf(out, " %s", text);
}

// One record of values; an all-zero record is sometimes written as a repeat.
void writeRecord(std::FILE* out, Random& random, Style style, const double* v, int count,
                 int decimals) {
  bool allZero = true;
  for (int i = 0; i < count; ++i) allZero = allZero && v[i] == 0.0;
  if (allZero && random.below(3) == 0 && style == Style::kMixed) {
    std::fprintf(out, " %d*0.0\n", count);
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (v[i] == 0.0 && style == Style::kMixed)
      std::fprintf(out, " 0.0");
    else  // a form is drawn where the mixed style draws one
      writeValue(out, v[i] == 0.0 ? 0 : random.below(6), style, v[i], decimals);
  }
  std::fprintf(out, "\n");
}

// A slip-rate pulse of the given slip (m): a triangle of `rise` seconds
// starting at `onset`, sampled every kDt and scaled so that the samples'
// sum times kDt is the slip.
// A dense or spread model adds to each sample a background rate drawn for it;
// a spread one draws it over 1e-4 to 5 m/s, evenly in the cube root of its logarithm.
void pulse(Random& random, Density density, double slip, double onset, double rise, bool rounded,
           double* rate) {
  double sum = 0.0;
  for (int k = 0; k < kSamples; ++k) {
    const double t = k * kDt - onset;
    const double h = t <= 0.0 || t >= rise ? 0.0 : 1.0 - std::fabs(2.0 * t / rise - 1.0);
    rate[k] = h;
    sum += h;
  }
  for (int k = 0; k < kSamples; ++k) {
    // Rounded to the 5 decimals the mixed style writes, so the file holds what was meant.
    double r = sum > 0.0 ? rate[k] * slip / (sum * kDt) : 0.0;
    if (density == Density::kDense) r += 0.002 + 0.02 * random.uniform();
    if (density == Density::kSpread) r += 1e-4 * std::pow(5e4, std::cbrt(random.uniform()));
    rate[k] = rounded ? std::round(r * 1e5) / 1e5 : r;
  }
}

// `at` rounded to `scale` (a power of ten) in the mixed style.
double keep(double at, double scale, Style style) {
  return style == Style::kMixed ? std::round(at * scale) / scale : at;
}

void writeGroup(std::FILE* out, Random& random, Style style, Density density, int il, int iw) {
  const double strike = 200.0 * kPi / 180.0;
  const double dip = 18.0 * kPi / 180.0;
  const double x = (il - kEpiCol) * kDx;  // km along strike from the epicentre
  const double y = (iw - kEpiRow) * kDw;  // km down dip from the epicentre

  // Map position of the subfault centre; the epicentre lies at 27.2 N, 110.5 W.
  const double east = x * std::sin(strike) + y * std::cos(dip) * std::sin(strike + kPi / 2.0);
  const double north = x * std::cos(strike) + y * std::cos(dip) * std::cos(strike + kPi / 2.0);
  const double lat = 27.2 + north / 111.19;
  const double lon = -110.5 + east / (111.19 * std::cos(lat * kPi / 180.0));
  const double depth = 16.0 + y * std::sin(dip);

  // Elliptical patch centred a little up-dip and along strike of the epicentre.
  const double u = (x - 12.0) / 70.0;
  const double v = (y + 5.0) / 30.0;
  const double r2 = u * u + v * v;
  const double slip = r2 < 1.0 ? 6.5 * std::sqrt(1.0 - r2) * (0.85 + 0.3 * random.uniform()) : 0.0;
  const double rake = 90.0 + 18.0 * std::sin(x / 40.0) * std::cos(y / 25.0) + 8.0 * (random.uniform() - 0.5);
  const double phi = (rake - 35.0) * kPi / 180.0;

  const double distance = std::sqrt(x * x + y * y);
  const double time = iw == kEpiRow && il == kEpiCol ? 0.0 : distance / 2.7 + 0.6 * random.uniform();
  const double rise = 3.0 + 2.0 * random.uniform();
  const double onset = kDt * random.below(3);  // the pulse starts within a sample of the front

  double a1[5] = {x, y, keep(lon, 1e5, style), keep(lat, 1e5, style), keep(depth, 1e3, style)};
  double a2[5] = {200.0, 18.0, kDx, kDw, keep(time, 1e3, style)};
  double s35[kSamples], s125[kSamples];
  const bool rounded = style == Style::kMixed;
  pulse(random, density, slip * std::cos(phi), onset, rise, rounded, s35);
  pulse(random, density, slip * std::sin(phi), onset, rise, rounded, s125);

  writeRecord(out, random, style, a1, 5, 5);
  writeRecord(out, random, style, a2, 5, 3);
  for (int j = 0; j < 40; j += 10) writeRecord(out, random, style, s35 + j, 10, 5);
  writeRecord(out, random, style, s35 + 40, 9, 5);
  std::fprintf(out, " subfault %d %d: slip rate along rake 125 deg\n", il, iw);
  std::fprintf(out, " %d %.2f\n", kSamples, kDt);
  for (int j = 0; j < 40; j += 10) writeRecord(out, random, style, s125 + j, 10, 5);
  writeRecord(out, random, style, s125 + 40, 9, 5);
}

constexpr const char* kUsage =
    "usage: make_model SEED [OUTPUT [STYLE [DENSITY]]]\n"
    "\n"
    "Writes a synthetic slip-rate model of 22 x 43 subfaults to OUTPUT (default\n"
    "'-', standard output). SEED is a whole number choosing the random draws;\n"
    "make_model 1 rateA.dat writes the bundled example model.\n"
    "  STYLE    mixed (default), e5, list17 or listwrite: how the numbers are written\n"
    "  DENSITY  sparse (default), dense or spread: dense adds a small slip rate to every\n"
    "           sample, spread one drawn over 1e-4 to 5 m/s\n";

// Prints the usage line and the way to the help to standard error; returns 64.
int usageMistake(const char* what, const char* arg) {
  std::fprintf(stderr, "make_model: %s '%s'\nusage: make_model SEED [OUTPUT [STYLE [DENSITY]]]\n"
                       "try 'make_model --help' for more information\n", what, arg);
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (argc < 2) {
    std::fputs("make_model: give a SEED (1 writes the bundled example)\n"
               "usage: make_model SEED [OUTPUT [STYLE [DENSITY]]]\n"
               "try 'make_model --help' for more information\n", stderr);
    return 64;
  }
  if (argc > 5) return usageMistake("unexpected argument", argv[5]);
  const char* seedText = argv[1];
  char* seedEnd = nullptr;
  errno = 0;
  const std::uint64_t seed = std::strtoull(seedText, &seedEnd, 10);
  if (*seedText < '0' || *seedText > '9' || *seedEnd != '\0' || errno != 0) {
    return usageMistake("the seed must be a whole number, not", seedText);
  }
  Random random{seed};
  Style style = Style::kMixed;
  if (argc > 3) {
    if (std::strcmp(argv[3], "e5") == 0) {
      style = Style::kE5;
    } else if (std::strcmp(argv[3], "list17") == 0) {
      style = Style::kList17;
    } else if (std::strcmp(argv[3], "listwrite") == 0) {
      style = Style::kListWrite;
    } else if (std::strcmp(argv[3], "mixed") != 0) {
      return usageMistake("the style must be mixed, e5, list17 or listwrite, not", argv[3]);
    }
  }
  Density density = Density::kSparse;
  if (argc > 4) {
    if (std::strcmp(argv[4], "dense") == 0) {
      density = Density::kDense;
    } else if (std::strcmp(argv[4], "spread") == 0) {
      density = Density::kSpread;
    } else if (std::strcmp(argv[4], "sparse") != 0) {
      return usageMistake("the density must be sparse, dense or spread, not", argv[4]);
    }
  }
  const bool toStdout = argc <= 2 || std::strcmp(argv[2], "-") == 0;
  std::FILE* out = toStdout ? stdout : std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  for (int iw = 1; iw <= kRows; ++iw)
    for (int il = 1; il <= kCols; ++il) writeGroup(out, random, style, density, il, iw);
  if (std::fflush(out) != 0 || (out != stdout && std::fclose(out) != 0)) {
    std::perror("make_model");
    return 1;
  }
  return 0;
}
