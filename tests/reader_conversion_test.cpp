// Values read from the file against the C library's strtod as the oracle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "input/decimal_value.h"
#include "reader_support.h"

namespace slip::testing {
namespace {

std::string toDecimal(unsigned __int128 v) {
  std::string text;
  do {
    text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  return text;
}

// One value as the file writes it, and the same number as strtod reads it.
struct Sample {
  std::string file;
  std::string oracle;
  bool allZero = true;
};

class SampleMaker {
 public:
  explicit SampleMaker(std::uint64_t seed) : rng_(seed) {}

  Sample random() {
    Sample s;
    int sign = pick(3);
    if (sign != 0) s.file += sign == 1 ? '+' : '-';
    s.oracle = s.file;
    // Mostly short mantissas (the exact path), sometimes up to 40 digits.
    int total = pick(4) != 0 ? 1 + pick(15) : 1 + pick(40);
    int before = pick(total + 1);
    int leadingZeros = pick(4) == 0 ? pick(30) : 0;
    std::string digits;
    for (int i = 0; i < total; ++i) digits += static_cast<char>('0' + pick(10));
    if (pick(5) == 0) {  // trailing zeros, which only scale
      int zeros = pick(total);
      for (int i = total - zeros; i < total; ++i) digits[static_cast<std::size_t>(i)] = '0';
    }
    for (char d : digits) s.allZero = s.allZero && d == '0';
    std::string mantissa = std::string(before == 0 ? 0u : static_cast<std::size_t>(leadingZeros), '0') +
                           digits.substr(0, static_cast<std::size_t>(before));
    if (before < total || pick(3) == 0) {
      mantissa += '.';
      if (before == 0) mantissa += std::string(static_cast<std::size_t>(leadingZeros), '0');
      mantissa += digits.substr(static_cast<std::size_t>(before));
    }
    s.file += mantissa;
    s.oracle += mantissa;
    if (pick(4) != 0) addExponent(s);
    return s;
  }

  // An exact tie between two neighbouring doubles (an odd multiple of half
  // an ulp), written with at most 40 digits.
  Sample tie() {
    unsigned __int128 m = (std::uint64_t{1} << 53) | rng_() % (std::uint64_t{1} << 53) | 1u;
    Sample s{"", "", false};
    if (pick(2) == 0) {
      s.file = toDecimal(m << pick(71));  // m * 2^j
    } else {
      int j = 1 + pick(30);                // m * 2^-j = m * 5^j / 10^j
      for (int i = 0; i < j; ++i) m *= 5;
      std::string d = toDecimal(m);
      s.file = d.substr(0, d.size() - static_cast<std::size_t>(j)) + "." + d.substr(d.size() - static_cast<std::size_t>(j));
    }
    s.oracle = s.file;
    return s;
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }

  void addExponent(Sample& s) {
    int range = pick(20);
    long value = range < 10 ? pick(31) : range < 17 ? pick(400) : range < 19 ? 280 + pick(66) : pick(99999999) + 1;
    bool negative = pick(2) == 0;
    std::string written = std::string(static_cast<std::size_t>(pick(3)), '0') + std::to_string(value);
    int form = pick(5);  // D, E, d, e, or a bare sign
    std::string sign = negative ? "-" : form == 4 || pick(2) == 0 ? "+" : "";
    s.file += (form == 4 ? std::string() : std::string(1, "DEde"[form])) + sign + written;
    s.oracle += "e" + sign + written;
  }

  std::mt19937_64 rng_;
};

// Numbers near the rounding boundaries of doubles, with 1 to 40 significant
// digits, over the whole exponent range.
class BoundaryMaker {
 public:
  explicit BoundaryMaker(std::uint64_t seed) : rng_(seed) {}

  // n random significant digits at a random decimal exponent, from below the
  // smallest subnormal to beyond the largest double.
  Sample dense(int n) {
    std::string digits(1, static_cast<char>('1' + pick(9)));
    while (static_cast<int>(digits.size()) < n) digits += static_cast<char>('0' + pick(10));
    return written(digits, pick(700) - 360 - n);
  }

  // nearTie's number in the layouts of dense models: with 6 digits as
  // "%.5E" writes it, with 17 as a list-directed WRITE of a double (fixed
  // from 0.1 to 1e17, else a three-digit exponent).
  Sample denseLayout(int n, bool above) {
    const Sample tie = nearTie(n, above, pick(2) == 0);
    const std::size_t mark = tie.oracle.find_first_of("eE");
    std::string digits = tie.oracle.substr(0, mark);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int point = mark == std::string::npos || tie.oracle.find('.') == std::string::npos
                          ? static_cast<int>(digits.size()) - 1 : 0;
    const int e = std::stoi(tie.oracle.substr(mark + 1)) + point;  // digits[0].digits[1..] x 10^e
    Sample s{"", "", false};
    const std::string sign = e < 0 ? "-" : "+";
    std::string exponent = std::to_string(std::abs(e));
    if (n == 17 && e >= -1 && e < 17) {
      const auto whole = static_cast<std::size_t>(e + 1);
      s.file = e < 0 ? "0." + digits : digits.substr(0, whole) + "." + digits.substr(whole);
    } else {
      exponent.insert(0, (n == 17 ? 3 : 2) - std::min<std::size_t>(exponent.size(), n == 17 ? 3 : 2), '0');
      s.file = digits.substr(0, 1) + "." + digits.substr(1) + "E" + sign + exponent;
    }
    s.oracle = s.file;
    return s;
  }

  // The midpoint between a random double and the next one up, cut to n
  // significant digits (just below it, or the midpoint itself when it has
  // no more), or cut and raised by one in the last digit (just above it).
  // `near`: a double from 1e-5 to 1e3 (the magnitudes of model values).
  Sample nearTie(int n, bool above, bool near = false) {
    std::uint64_t bits = rng_() & 0x7FEFFFFFFFFFFFFFu;  // finite, positive
    if (near) bits = (bits & 0x000FFFFFFFFFFFFFu) | static_cast<std::uint64_t>(1006 + pick(28)) << 52;
    std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    int field = static_cast<int>(bits >> 52);
    std::uint64_t m = field == 0 ? fraction : fraction | std::uint64_t{1} << 52;
    int e = (field == 0 ? 1 : field) - 1075;  // the double is m x 2^e
    // The midpoint (2m + 1) x 2^(e - 1) as an integer x 10^-k.
    std::vector<std::uint64_t> limbs = {(2 * m + 1) % kLimb, (2 * m + 1) / kLimb};
    int k = 0;
    for (int twos = e - 1; twos > 0; twos -= std::min(twos, 29)) multiply(limbs, std::uint64_t{1} << std::min(twos, 29));
    for (int fives = 1 - e; fives > 0; fives -= std::min(fives, 13)) {
      std::uint64_t power = 1;
      for (int i = 0; i < std::min(fives, 13); ++i) power *= 5;
      multiply(limbs, power);
      k += std::min(fives, 13);
    }
    std::string digits = decimal(limbs);
    int exponent = static_cast<int>(digits.size()) - k;  // value = 0.digits x 10^exponent
    if (static_cast<int>(digits.size()) > n) digits.resize(static_cast<std::size_t>(n));
    if (above) {
      std::size_t i = digits.size();
      while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        ++exponent;
      } else {
        ++digits[i - 1];
      }
    }
    return written(digits, exponent - static_cast<int>(digits.size()));
  }

 private:
  static constexpr std::uint64_t kLimb = 1000000000;  // little-endian limbs of 9 decimal digits

  static void multiply(std::vector<std::uint64_t>& limbs, std::uint64_t factor) {
    std::uint64_t carry = 0;
    for (std::uint64_t& limb : limbs) {
      std::uint64_t v = limb * factor + carry;
      limb = v % kLimb;
      carry = v / kLimb;
    }
    for (; carry != 0; carry /= kLimb) limbs.push_back(carry % kLimb);
  }

  static std::string decimal(const std::vector<std::uint64_t>& limbs) {
    std::string text;
    for (std::size_t i = limbs.size(); i-- > 0;) {
      std::string part = std::to_string(limbs[i]);
      text += text.empty() ? part : std::string(9 - part.size(), '0') + part;
    }
    text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
    return text;
  }

  // digits x 10^exponent, as the file may write it: an integer with an E
  // exponent, or one digit before a point and a D or bare-sign exponent.
  Sample written(const std::string& digits, int exponent) {
    Sample s{"", "", false};
    if (pick(2) == 0) {
      s.file = digits + "E" + std::to_string(exponent);
      s.oracle = s.file;
    } else {
      const int e = exponent + static_cast<int>(digits.size()) - 1;
      const std::string mantissa = digits.substr(0, 1) + "." + digits.substr(1);
      const std::string sign = e < 0 ? "-" : "+";
      s.file = mantissa + (pick(2) == 0 ? "D" : "") + sign + std::to_string(std::abs(e));
      s.oracle = mantissa + "e" + sign + std::to_string(std::abs(e));
    }
    return s;
  }

  int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }

  std::mt19937_64 rng_;
};

void expectSamplesIn(const std::vector<Sample>& samples, const std::string& text, std::size_t chunk);

// Each sample on its own line, read in one block (numbers read in place) and
// one byte a block (every entry by the byte scanner).
void expectSamples(const std::vector<Sample>& samples) {
  std::string text;
  for (const Sample& s : samples) text += s.file + "\n";
  for (std::size_t chunk : {std::size_t{1} << 16, std::size_t{1}}) {
    SCOPED_TRACE("block " + std::to_string(chunk));
    expectSamplesIn(samples, text, chunk);
  }
}

void expectSamplesIn(const std::vector<Sample>& samples, const std::string& text, std::size_t chunk) {
  MemoryReader memory(text, chunk);
  int wrong = 0;
  for (const Sample& s : samples) {
    double value = 1.0;
    ReadStatus status = memory.reader().valueRead(&value, 1);
    ASSERT_TRUE(status.ok()) << s.file << ": " << status.context();
    double want = s.allZero ? 0.0 : std::strtod(s.oracle.c_str(), nullptr);
    if (!sameDouble(value, want) && ++wrong <= 10) {
      ADD_FAILURE() << s.file << " read as " << value << ", strtod gives " << want;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(ReaderConversion, RandomValuesMatchStrtod) {
  SampleMaker maker(20250611);
  std::vector<Sample> samples;
  for (int i = 0; i < 300000; ++i) samples.push_back(maker.random());
  expectSamples(samples);
}

TEST(ReaderConversion, DenseMantissasMatchStrtod) {
  BoundaryMaker maker(1729);
  std::vector<Sample> samples;
  for (int n = 1; n <= kMaxSignificantDigits; ++n)
    for (int i = 0; i < (n >= 16 ? 4000 : 500); ++i) samples.push_back(maker.dense(n));
  expectSamples(samples);
}

TEST(ReaderConversion, NearTiesMatchStrtod) {
  BoundaryMaker maker(99);
  std::vector<Sample> samples;
  for (int n = 16; n <= kMaxSignificantDigits; ++n) {
    for (int i = 0; i < 1500; ++i) samples.push_back(maker.nearTie(n, i % 2 == 1));
  }
  expectSamples(samples);
}

// Dense models' layouts, ten to a record as they write them, each record
// one value read, separated as models separate them and as the run of
// in-place entries must leave to the value read's steps.
TEST(ReaderConversion, DenseLayoutsMatchStrtod) {
  BoundaryMaker maker(2026);
  // The last three: a WRITE's padding after a fixed-form value, and more blanks than the run takes.
  const char* separators[] = {" ", "   ", " ", "   ", ", ", "\t", "        ", ",", "       ", "              ",
                              "                "};
  for (int n : {6, 17}) {
    std::string text;
    std::vector<double> want;
    for (int i = 0; i < 60000; ++i) {
      Sample s = maker.denseLayout(n, i % 2 == 1);
      if (i % 7 == 3) s.file.insert(0, "-"), s.oracle.insert(0, "-");
      text += separators[i % 10 == 0 ? 0 : static_cast<std::size_t>(i * 7) % std::size(separators)] + s.file + (i % 10 == 9 ? "\n" : "");
      want.push_back(std::strtod(s.oracle.c_str(), nullptr));
    }
    MemoryReader memory(text);
    double values[10];
    int wrong = 0;
    for (std::size_t record = 0; record < want.size() / 10; ++record) {
      ASSERT_TRUE(memory.reader().valueRead(values, 10).ok());
      for (std::size_t i = 0; i < 10; ++i) {
        if (!sameDouble(values[i], want[10 * record + i]) && ++wrong <= 10)
          ADD_FAILURE() << "record " << record << " value " << i << ": " << values[i] << " vs " << want[10 * record + i];
      }
    }
    EXPECT_EQ(wrong, 0) << n << " digits";
  }
}

TEST(ReaderConversion, ExactTiesMatchStrtod) {
  SampleMaker maker(7);
  std::vector<Sample> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(maker.tie());
  expectSamples(samples);
}

}  // namespace
}  // namespace slip::testing
