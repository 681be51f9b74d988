// The free-format rules of the model file, request by request.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "reader_support.h"

namespace slip::testing {
namespace {

constexpr double U = kUntouched;
constexpr double kInf = std::numeric_limits<double>::infinity();
using E = ReadError;

std::string describe(const std::vector<double>& values) {
  std::string text;
  for (double v : values) text += std::to_string(v) + " ";
  return text;
}

// Every case runs once per block size, so that each byte, and each CR LF
// pair, also lands on a block edge.
struct ScriptCase {
  const char* what;
  std::string text;
  std::vector<int> requests;  // n > 0: value read of n targets; 0: record skip
  std::vector<double> values;
  ReadError error = E::kNone;
};

// Numbers are read in place only well inside a block (56 bytes before its
// end): `padLines` runs each case once more with blanks before every line
// end, so that the short texts reach that reading too.
const std::string kPad(64, ' ');

std::string padded(const std::string& text) {
  std::string out;
  for (char ch : text) out += ch == '\n' ? kPad + "\n" : std::string(1, ch);
  return out;
}

void expectScripts(const std::vector<ScriptCase>& cases, bool padLines = true) {
  for (const ScriptCase& c : cases) {
    for (bool pad : {false, padLines}) {
      for (std::size_t chunk : kChunkSizes) {
        SCOPED_TRACE(std::string(c.what) + " / block " + std::to_string(chunk) + (pad ? " / padded" : ""));
        MemoryReader memory(pad ? padded(c.text) : c.text, chunk);
        ScriptResult result = memory.run(c.requests);
        EXPECT_EQ(result.status.error, c.error) << result.status.context();
        ASSERT_EQ(result.values.size(), c.values.size());
        for (std::size_t i = 0; i < c.values.size(); ++i) {
          EXPECT_TRUE(sameDouble(result.values[i], c.values[i]))
              << "target " << i << ": got " << describe(result.values);
        }
      }
    }
  }
}

double oracle(const char* text) { return std::strtod(text, nullptr); }

TEST(Reader, ValueSyntax) {
  struct Case {
    std::string text;
    double value;
  };
  const std::string digits45 = "123456789012345678901234567890123456789012345";
  const std::vector<Case> cases = {
      {"5", 5.0}, {"5.", 5.0}, {"5.0", 5.0}, {"+5", 5.0}, {".5", 0.5}, {"-2.25", -2.25},
      {"1.5D3", 1500.0}, {"1.5d3", 1500.0}, {"1.5E3", 1500.0}, {"1.5e+3", 1500.0},
      {"1.5+3", 1500.0}, {"1.5-3", 0.0015}, {"1.5D-3", 0.0015}, {"-1.5e-3", -0.0015},
      {"0.E5", 0.0}, {"007.50", 7.5}, {"0.00125", 0.00125}, {"1E-00000005", 1e-5},
      // A minus sign before an all-zero value is lost.
      {"-0.0", 0.0}, {"-0", 0.0}, {"-.000E7", 0.0}, {"0E99999999", 0.0},
      // Leading zeros on either side of the point are not among the 40 digits.
      {std::string(50, '0') + "1.5", 1.5},
      {std::string("0.") + std::string(60, '0') + "25", 0.25e-60},
      // Digits before the point beyond the 40th scale the value.
      {digits45, oracle("1234567890123456789012345678901234567890e5")},
      {digits45 + ".999", oracle("1234567890123456789012345678901234567890e5")},
      // Digits after the 40th are cut, not rounded: this leaves an exact tie
      // between two doubles, which rounds to the even one.
      {"9007199254740993.0000000000000000000000001", 9007199254740992.0},
      {std::string("1") + std::string(400, '0'), kInf},
      {"-1E400", -kInf}, {"1E99999999", kInf}, {"1E-99999999", 0.0},
      {"2.5E-320", oracle("2.5E-320")}, {"4.9406564584124654E-324", oracle("4.9406564584124654E-324")},
      // Zeros at full width, and what only starts like one.
      {"0.0000000000000000E+000", 0.0}, {"0.00000E+00", 0.0}, {"0.00000E+001", 0.0}, {"-0.00000E+00", 0.0}, {"0.00000D-0012", 0.0},
      {"0.00000E+00000", 0.0}, {"0." + std::string(24, '0') + "E5", 0.0}, {"0.0-5", 0.0},
      {"0.0000000000000000E+001", 0.0}, {"0.000001", 1e-6}, {"0.00000000000000000000000000012", 1.2e-28},
      {"0.00001E+003", 0.01}, {"10*0.0000000000000000E+000", 0.0},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : kChunkSizes) {
      SCOPED_TRACE(c.text + " / block " + std::to_string(chunk));
      // Followed by a blank and by the end of the file alike.
      // Numbers well inside a block are read in place: the padded text reaches that reading.
      for (const std::string& text : {c.text + " 9\n", c.text, c.text + " 9" + kPad + "\n"}) {
        MemoryReader memory(text, chunk);
        ScriptResult result = memory.run({1});
        ASSERT_TRUE(result.status.ok()) << result.status.context();
        EXPECT_TRUE(sameDouble(result.values[0], c.value)) << result.values[0] << " vs " << c.value;
      }
    }
  }
}

TEST(Reader, MalformedEntries) {
  expectScripts({
      {"point alone", ".\n", {1}, {U}, E::kInvalidNumber},
      {"plus then blank", "+ 1\n", {1}, {U}, E::kInvalidNumber},
      {"minus then blank", "- 1\n", {1}, {U}, E::kInvalidNumber},
      {"a letter", "abc\n", {1}, {U}, E::kInvalidNumber},
      {"exponent without digits before", "E5\n", {1}, {U}, E::kInvalidNumber},
      // Not an exponent: taken as one, these would read as nulls.
      {"exponent letter before a comma", "E5,1\n", {2}, {U, U}, E::kInvalidNumber},
      {"exponent letter after a count", "3*E5 1\n", {1}, {U}, E::kInvalidNumber},
      {"exponent letter then blank", "e 1\n", {1}, {U}, E::kInvalidNumber},
      {"zero, letter, no digit", "0.0000E 5\n", {1}, {U}, E::kExponentField},
      {"zero, exponent above 99999999", "0.00000E+100000000\n", {1}, {U}, E::kExponentField},
      {"zero, then a count's asterisk", "0.00*1\n", {2}, {0, U}, E::kBadRepetition},
      {"byte 128", "\x80\n", {1}, {U}, E::kInvalidNumber},
      {"lone CR where an entry begins", "1\r2\n", {2}, {1, U}, E::kInvalidNumber},
      {"Q is no exponent letter", "1.5Q3\n", {2}, {1.5, U}, E::kInvalidNumber},
      {"second asterisk", "3**1\n", {1}, {U}, E::kInvalidNumber},
      {"end of file after r*", "3*", {1}, {U}, E::kInvalidNumber},
      {"letter then blank", "1E 2\n", {1}, {U}, E::kExponentField},
      {"letter and sign then blank", "1E+ 2\n", {1}, {U}, E::kExponentField},
      {"letter at end of file", "1E", {1}, {U}, E::kExponentField},
      {"bare sign then line end", "1.5+\n", {1}, {U}, E::kExponentField},
      {"exponent above 99999999", "1E100000000\n", {1}, {U}, E::kExponentField},
      {"leading zeros do not hide it", "1E-000100000000\n", {1}, {U}, E::kExponentField},
      {"zero count", "0*1\n", {1}, {U}, E::kBadRepetition},
      {"zeros count", "00*1\n", {1}, {U}, E::kBadRepetition},
      {"negative count", "-2*1\n", {1}, {U}, E::kBadRepetition},
      {"asterisk alone", "*1\n", {1}, {U}, E::kBadRepetition},
      {"count of 41 digits", std::string(41, '1') + "*1\n", {1}, {U}, E::kBadRepetition},
  });
}

TEST(Reader, RepeatCountsAndNulls) {
  const std::string count40 = "1234567890123456789012345678901234567890";
  expectScripts({
      {"r*v", "3*2.5\n", {3}, {2.5, 2.5, 2.5}},
      {"comma after r*v taken once", "2*1.5,,7\n", {4}, {1.5, 1.5, U, 7}},
      {"r* then blank", "3* 7\n", {4}, {U, U, U, 7}},
      {"r* then comma", "3*,7\n", {4}, {U, U, U, 7}},
      {"r* then line end", "2*\n7\n", {3}, {U, U, 7}},
      {"r* then slash", "3*/ 7\n", {4}, {U, U, U, U}},
      {"leading zero count", "02*1\n", {2}, {1, 1}},
      {"plus before count", "+2*-3\n", {2}, {-3, -3}},
      {"40-digit count", count40 + "*7\n", {2}, {7, 7}},
      {"count beyond 32 bits", "99999999999*7\n8\n", {3, 1}, {7, 7, 7, 8}},
      {"surplus copies dropped", "5*1\n9\n", {3, 1}, {1, 1, 1, 9}},
      {"empty entry between commas", "1.0,,2.0\n", {3}, {1, U, 2}},
      {"comma first", ",5\n", {2}, {U, 5}},
      {"comma starting the next record", "1.0\n,2.0\n", {3}, {1, U, 2}},
      {"comma at both ends", "1.0,\n,2.0\n", {3}, {1, U, 2}},
      {"trailing comma does not end the read", "1,2,3,4,\n5\n6\n", {5, 1}, {1, 2, 3, 4, 5, 6}},
      {"sign then comma", "-,5\n", {2}, {U, 5}},
      {"sign then slash", "+/ 5\n", {2}, {U, U}},
      {"two entries", "1.0-2.0\n", {2}, {0.01, 0.0}},
  });
}

TEST(Reader, RecordsAndSlash) {
  expectScripts({
      {"surplus values ignored", "1 2 3 4 5 6 7\n8 9 10 11 12\n", {5, 5},
       {1, 2, 3, 4, 5, 8, 9, 10, 11, 12}},
      {"short record continues", "1 2\n3 4 5 6\n7 8 9 10 11\n", {5, 5},
       {1, 2, 3, 4, 5, 7, 8, 9, 10, 11}},
      {"blank lines passed over", "\n\n  1 2\n\t\n3,4 ,5\n", {5}, {1, 2, 3, 4, 5}},
      {"slash ends the read", "1 2 / 3 4\n5 6 7 8 9\n", {5, 5}, {1, 2, U, U, U, 5, 6, 7, 8, 9}},
      {"slash first", "/\n1\n", {2, 1}, {U, U, 1}},
      {"Q3 discarded after the last value", "1.5Q3\n2\n", {1, 1}, {1.5, 2}},
      {"skipped records hold anything", "1\n3*** / 1E\n\r\x80\n2\n", {1, 0, 0, 1}, {1, 2}},
      {"a blank line is a skipped record", "1\n\nX Y\n2\n", {1, 0, 0, 1}, {1, 2}},
      {"so one too many shifts the reads", "1\n\nskip A\nskip B\n2\n", {1, 0, 0, 1}, {1, U},
       E::kInvalidNumber},
  });
}

// The last sample of a component ends a record of nine: in every layout a
// model writes, and whatever follows it, it lands in the ninth target, the
// zeros before it in the first eight, and the next record is not read into it.
TEST(Reader, LastValueOfARecord) {
  struct Layout {
    const char* zero;
    const char* last;
    double value;
  };
  const Layout layouts[] = {
      {"0.0", "1.5", 1.5},
      {"0.00000E+00", "1.20000E+00", 1.2},
      {"0.00000E+00", "-1.60000D-01", -0.16},
      {"0.0000000000000000E+000", "1.6000000000000001", 1.6000000000000001},
      {"0.0000000000000000E+000", "-1.2345678901234567E-003", -1.2345678901234567e-3},
      {"0", "12.5", 12.5},
  };
  std::vector<ScriptCase> cases;
  for (const Layout& layout : layouts) {
    for (const char* after : {"\n", "   \n", "\r\n", ",\n", "\t\n", " 9.5\n"}) {
      std::string record;
      for (int k = 1; k <= 8; ++k) record += std::string(" ") + layout.zero;
      record += std::string(" ") + layout.last + after;
      std::vector<double> values(8, 0.0);
      values.push_back(layout.value);
      values.push_back(7.0);
      cases.push_back({layout.last, record + " 7.0\n", {9, 1}, values});
    }
  }
  expectScripts(cases);
}

TEST(Reader, LineEndsAndEndOfFile) {
  expectScripts({
      {"CR LF reads as LF", "1 2\r\n3 4 5\r\n\r\n6\r\n", {5, 1}, {1, 2, 3, 4, 5, 6}},
      {"CR CR LF keeps the first CR", "1\r\r\n2\n", {1, 1}, {1, 2}},
      {"which is no separator", "1\r\r\n2\n", {2}, {1, U}, E::kInvalidNumber},
      {"lone CR discarded after the last value", "1\rjunk\n2\n", {1, 1}, {1, 2}},
      {"CR-only file is one record", "1 2 3 4 5\r6 7 8 9 10\r", {5, 5},
       {1, 2, 3, 4, 5, U, U, U, U, U}, E::kReadStart},
      {"Ctrl-Z ends the data", "1 2 3\x1a 4 5\n", {5}, {1, 2, 3, U, U}, E::kListInEof},
      {"Ctrl-Z at a record start", "1\n\x1a" "2\n", {1, 1}, {1, U}, E::kListInEof},
      {"CR before Ctrl-Z is ordinary", "1 \r\x1a", {2}, {1, U}, E::kInvalidNumber},
      {"missing final LF", "1 2 3", {3}, {1, 2, 3}},
      {"then nothing more", "1 2 3", {3, 1}, {1, 2, 3, U}, E::kReadStart},
      {"copies owed at the end are given", "1 2 3*4", {5}, {1, 2, 4, 4, 4}},
      {"null copies too", "1 2*\t", {3}, {1, U, U}},
      {"but no more than owed", "3*2.5", {5}, {2.5, 2.5, 2.5, U, U}, E::kListInEof},
      {"empty file", "", {5}, {U, U, U, U, U}, E::kListInEof},
      {"empty file, skip first", "", {0, 5}, {U, U, U, U, U}, E::kReadStart},
      {"only blank lines", "\n \n\t\n", {1}, {U}, E::kListInEof},
      {"ends before a value read", "1\n", {1, 1}, {1, U}, E::kListInEof},
      {"ends before a record skip", "1\n", {1, 0, 1}, {1, U}, E::kReadStart},
  }, /*padLines=*/false);
}

// A feed whose stream fails after `failAt` bytes, one byte per refill.
struct FailingFeed {
  std::string bytes;
  std::size_t failAt;
  int error;
  std::size_t offset = 0;

  static long refill(void* feed, unsigned char* buffer, std::size_t, int* error) {
    FailingFeed& self = *static_cast<FailingFeed*>(feed);
    if (self.offset == self.failAt) {
      *error = self.error;
      return -1;
    }
    if (self.offset == self.bytes.size()) return 0;
    buffer[0] = static_cast<unsigned char>(self.bytes[self.offset++]);
    return 1;
  }
};

TEST(Reader, ReadErrorStopsAtOnce) {
  struct Case {
    const char* what;
    std::string text;
    std::size_t failAt;
    std::vector<int> requests;
  };
  const std::vector<Case> cases = {
      {"first fetch (a directory)", "1 2 3 4 5\n", 0, {5}},
      {"inside an entry that would be invalid", "1 2 -", 5, {3}},
      {"inside an exponent", "1E", 2, {1}},
      {"after a carried CR", "1\r", 2, {1}},
      {"while discarding the rest of the record", "1 2 3 rest\n", 8, {3}},
      {"in a record skip", "1\nskipped\n", 5, {1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FailingFeed feed{c.text, c.failAt, EISDIR};
    std::vector<unsigned char> storage(16);
    ByteSource source(storage, &FailingFeed::refill, &feed);
    ListReader reader(source);
    ReadStatus status;
    for (int n : c.requests) {
      std::vector<double> targets(static_cast<std::size_t>(n));
      status = n == 0 ? reader.recordSkip() : reader.valueRead(targets.data(), n);
      if (!status.ok()) break;
    }
    EXPECT_EQ(status.error, E::kListInSystem);
    EXPECT_EQ(status.code(), EISDIR);
    EXPECT_STREQ(status.context(), "list in");
  }
}

// The pairs that the run hands to ioFatal.
TEST(Reader, FailureCodesAndContexts) {
  struct Case {
    ReadError error;
    int code;
    const char* context;
  };
  for (const Case& c : std::vector<Case>{{E::kReadStart, -1, "read start"},
                                         {E::kListInEof, -1, "list in"},
                                         {E::kInvalidNumber, 112, "invalid number"},
                                         {E::kExponentField, 112, "exponent field"},
                                         {E::kBadRepetition, 112, "bad repetition count"}}) {
    ReadStatus status{c.error, 0};
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.code(), c.code);
    EXPECT_STREQ(status.context(), c.context);
  }
}

}  // namespace
}  // namespace slip::testing
