#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "report/field_editor.h"

namespace slip {
namespace {

std::string fixed(double value, int w, int d) {
  std::string out(static_cast<std::size_t>(w) + 1, '#');  // '#' marks a write past w
  editFixed(value, w, d, out.data());
  EXPECT_EQ(out.back(), '#') << "wrote past the field";
  out.pop_back();
  return out;
}

std::string integer(int value, int w) {
  std::string out(static_cast<std::size_t>(w) + 1, '#');
  editInteger(value, w, out.data());
  EXPECT_EQ(out.back(), '#') << "wrote past the field";
  out.pop_back();
  return out;
}

// The examples of field_editor.h, exactly as written there.
TEST(FieldEditor, HeaderExamples) {
  EXPECT_EQ(integer(0, 2), " 0");
  EXPECT_EQ(integer(43, 2), "43");
  EXPECT_EQ(integer(7, 2), " 7");
  EXPECT_EQ(integer(-5, 2), "-5");
  EXPECT_EQ(integer(100, 2), "**");
  EXPECT_EQ(integer(-10, 2), "**");
  EXPECT_EQ(fixed(0.5, 10, 5), "   0.50000");
  EXPECT_EQ(fixed(-0.0, 10, 5), "   0.00000");
  EXPECT_EQ(fixed(-0.000004, 10, 5), "   0.00000");
  EXPECT_EQ(fixed(-0.000006, 10, 5), "  -0.00001");
  EXPECT_EQ(fixed(140.123456789, 12, 7), " 140.1234568");
  EXPECT_EQ(fixed(-179.9999999, 10, 5), "-180.00000");
  EXPECT_EQ(fixed(9999.999996, 10, 5), "**********");
  EXPECT_EQ(fixed(-1000.0, 12, 7), "************");
  EXPECT_EQ(fixed(1.0e300, 10, 5), "**********");
  EXPECT_EQ(fixed(-0.5, 8, 6), "-.500000");
  EXPECT_EQ(fixed(0.5, 7, 6), ".500000");
  EXPECT_EQ(fixed(-0.5, 7, 6), "*******");
}

TEST(FieldEditor, IntegerFields) {
  struct {
    int value, w;
    const char* field;
  } const cases[] = {
      {99, 2, "99"},   {9, 2, " 9"},   {-9, 2, "-9"},  {1, 1, "1"},   {10, 1, "*"},
      {-1, 1, "*"},    {0, 5, "    0"}, {-1234, 5, "-1234"}, {-12345, 5, "*****"},
      {2147483647, 10, "2147483647"},
      {std::numeric_limits<int>::min(), 11, "-2147483648"},  // magnitude exact
      {std::numeric_limits<int>::min(), 10, "**********"},
  };
  for (const auto& c : cases) EXPECT_EQ(integer(c.value, c.w), c.field) << c.value;
}

// Both field shapes of the report, one value a line.
TEST(FieldEditor, ReportShapes) {
  struct {
    double value;
    const char* f10;  // width 10, 5 decimals
    const char* f12;  // width 12, 7 decimals
  } const cases[] = {
      {0.0, "   0.00000", "   0.0000000"},
      {-0.0, "   0.00000", "   0.0000000"},
      {0.5, "   0.50000", "   0.5000000"},
      {-0.5, "  -0.50000", "  -0.5000000"},
      {0.123456, "   0.12346", "   0.1234560"},
      {-0.000004, "   0.00000", "  -0.0000040"},
      {-0.000006, "  -0.00001", "  -0.0000060"},
      {-1.0e-300, "   0.00000", "   0.0000000"},
      {90.0, "  90.00000", "  90.0000000"},
      {140.123456789, " 140.12346", " 140.1234568"},
      {140.25, " 140.25000", " 140.2500000"},
      {-33.5, " -33.50000", " -33.5000000"},
      {-179.9999999, "-180.00000", "-179.9999999"},
      {1234.5, "1234.50000", "1234.5000000"},
      {9999.99999, "9999.99999", "9999.9999900"},
      {9999.999996, "**********", "9999.9999960"},
      {9999.99999996, "**********", "**********"
                                     "**"},  // rounds up to 10000 at 7 decimals too
      {-999.99999, "-999.99999", "-999.9999900"},
      {-999.999996, "**********", "-999.9999960"},
      {-1000.0, "**********", "************"},
      {-1000.5, "**********", "************"},
      {12345.6, "**********", "************"},
      {1.0e300, "**********", "************"},
      {-1.0e300, "**********", "************"},
      {0.015625, "   0.01562", "   0.0156250"},  // an exact tie goes to the even digit
      {std::numeric_limits<double>::denorm_min(), "   0.00000", "   0.0000000"},
      {std::numeric_limits<double>::max(), "**********", "************"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fixed(c.value, 10, 5), c.f10) << c.value;
    EXPECT_EQ(fixed(c.value, 12, 7), c.f12) << c.value;
  }
}

// Non-finite values print their conversion text; a negative infinity gets
// the field's minus sign, a NaN only the sign of its own text.
TEST(FieldEditor, NonFinite) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(fixed(inf, 10, 5), "       inf");
  EXPECT_EQ(fixed(-inf, 10, 5), "      -inf");
  EXPECT_EQ(fixed(nan, 12, 7), "         nan");
  EXPECT_EQ(fixed(-nan, 12, 7), "        -nan");
  EXPECT_EQ(fixed(-inf, 3, 5), "***");
  EXPECT_EQ(fixed(inf, 3, 5), "inf");
  EXPECT_EQ(fixed(nan, 2, 0), "**");
}

// Shapes the report never uses: d = 0 keeps the point, the zero drop, and
// decimals far past a double's exact expansion.
TEST(FieldEditor, OtherShapes) {
  EXPECT_EQ(fixed(2.5, 3, 0), " 2.");   // tie to even
  EXPECT_EQ(fixed(3.5, 3, 0), " 4.");
  EXPECT_EQ(fixed(-0.4, 3, 0), " 0.");  // minus zero at d = 0
  EXPECT_EQ(fixed(0.4, 1, 0), ".");     // "0." drops its zero
  EXPECT_EQ(fixed(0.4, 2, 0), "0.");
  EXPECT_EQ(fixed(-0.6, 2, 0), "**");   // "-1." has no zero to drop
  EXPECT_EQ(fixed(99.0, 2, 1), "**");
  EXPECT_EQ(fixed(0.25, 2, 2), "**");   // d >= w never fits
  EXPECT_EQ(fixed(0.25, 3, 2), ".25");
  EXPECT_EQ(fixed(1.0, 5, -1), "*****");
  // 2^-1074 has 1074 decimals; beyond them only zeros follow.
  const double tiny = std::numeric_limits<double>::denorm_min();
  std::vector<char> expected(1300);
  std::snprintf(expected.data(), expected.size(), "%#.*f", 1200, tiny);
  EXPECT_EQ(fixed(tiny, 1202, 1200), expected.data());
  std::string negative = "-";
  negative.append(expected.data());
  EXPECT_EQ(fixed(-tiny, 1203, 1200), negative);
}

// An independent rendering of the field from the C library's "%#.*f".
std::string reference(double value, int w, int d) {
  bool negative = value < 0.0;
  const double magnitude = negative ? -value : (value == 0.0 ? 0.0 : value);
  static char buffer[2000];
  std::snprintf(buffer, sizeof buffer, "%#.*f", d, magnitude);
  std::string text = buffer;
  if (negative && text.find_first_not_of("0.") == std::string::npos) negative = false;
  std::size_t n = text.size() + (negative ? 1 : 0);
  const std::size_t width = static_cast<std::size_t>(w);
  if (n > width) {
    if (text[0] != '0' || n - 1 != width) return std::string(width, '*');
    text.erase(0, 1);
    n = width;
  }
  return std::string(width - n, ' ') + (negative ? "-" : "") + text;
}

// Random bit patterns (every exponent, subnormals, NaNs, infinities) and
// decimal-looking values near the report's range, in random shapes.
TEST(FieldEditor, MatchesPrintfOverRandomValues) {
  std::mt19937_64 random(20240611);
  const int kCount = 300000;
  int failures = 0;
  for (int i = 0; i < kCount && failures < 10; ++i) {
    double value;
    if (i % 2 == 0) {
      const std::uint64_t bits = random();
      std::memcpy(&value, &bits, sizeof value);
    } else {
      // An integer scaled by a power of ten: 12.34567, -0.0000049999, 9999.99999...
      const auto digits = static_cast<double>(random() % 100000000000ULL);
      const int scale = static_cast<int>(random() % 16);
      value = digits / std::pow(10.0, scale);
      if (random() % 2) value = -value;
    }
    int w, d;
    switch (random() % 4) {
      case 0: w = 10; d = 5; break;
      case 1: w = 12; d = 7; break;
      default:
        w = 1 + static_cast<int>(random() % 30);
        d = static_cast<int>(random() % 25);
    }
    const std::string got = fixed(value, w, d);
    const std::string want = reference(value, w, d);
    if (got != want) {
      ++failures;
      ADD_FAILURE() << "value " << value << " w " << w << " d " << d << ": got \"" << got
                    << "\" want \"" << want << "\"";
    }
  }
}

// Dyadic values k / 2^n have exact decimal expansions, so at n decimals or
// fewer many of them lie exactly halfway: the exact fast path must break those
// ties as the C library does (to the even digit), and round all others right.
TEST(FieldEditor, DyadicTiesMatchPrintf) {
  int failures = 0;
  for (int n = 0; n <= 12 && failures < 10; ++n) {
    for (int k = -3000; k <= 3000 && failures < 10; k += 7) {
      const double value = std::ldexp(static_cast<double>(k), -n) + (k % 3 == 0 ? 123.0 : 0.0);
      for (int d = 0; d <= 9; ++d) {
        const std::string got = fixed(value, 20, d);
        if (got != reference(value, 20, d)) {
          ++failures;
          ADD_FAILURE() << "value " << value << " d " << d << ": got \"" << got << "\"";
        }
      }
    }
  }
}

}  // namespace
}  // namespace slip
