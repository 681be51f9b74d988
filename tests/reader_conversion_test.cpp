// Values read from the file against the C library's strtod as the oracle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

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

void expectSamples(const std::vector<Sample>& samples) {
  std::string text;
  for (const Sample& s : samples) text += s.file + "\n";
  MemoryReader memory(text);
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

TEST(ReaderConversion, ExactTiesMatchStrtod) {
  SampleMaker maker(7);
  std::vector<Sample> samples;
  for (int i = 0; i < 20000; ++i) samples.push_back(maker.tie());
  expectSamples(samples);
}

}  // namespace
}  // namespace slip::testing
