// slipcheck's findings on models in memory: places, kinds, counting, block edges.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "check/findings.h"
#include "cli/diagnostics.h"
#include "check_support.h"

namespace slip {
namespace {

using testing::canonicalLines;
using testing::checkText;
using testing::joinLines;
using testing::lineWith;
using Lines = std::vector<std::string>;

// Group 358 is subfault W 9 L14: lines 4999 to 5012; its 35-degree samples
// are " 0.1400" ten to a line, so the n-th value of line 5001 is at column 7n - 5.
constexpr int kHeader = 4999;
constexpr int kSamples = 5001;
std::string& line(Lines& lines, int number) { return lines[static_cast<std::size_t>(number - 1)]; }

struct Case {
  const char* name;
  std::function<void(Lines&)> edit;
  const char* first;  // the first line of the output starts so
  int warnings;
  int errors;
};

const Case kCases[] = {
    {"clean", [](Lines&) {}, "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", 0, 0},
    {"exponent without digits",
     [](Lines& l) { line(l, kSamples).replace(15, 6, "1.5E+ "); },
     "rateA.dat:5001:16: error: exponent field: incomprehensible list input", 0, 1},
    {"surplus value",
     [](Lines& l) { line(l, kSamples) += " 7.5"; },
     "rateA.dat:5001:72: warning: record holds more than the 10 values its read takes: \"7.5\" is ignored", 1, 0},
    {"comma null",
     [](Lines& l) { line(l, kSamples).replace(7, 8, ",,"); },
     "rateA.dat:5001:9: warning: null value: a comma with no value before it leaves value 2 at 0.0", 1, 0},
    {"repeat null",
     [](Lines& l) { line(l, kSamples).replace(0, 14, " 2*"); },
     "rateA.dat:5001:2: warning: 2 null values: values 1 to 2 keep 0.0", 1, 0},
    {"slash", [](Lines& l) { line(l, kSamples).replace(15, 6, "/     "); },
     "rateA.dat:5001:16: warning: slash ends the read early: values 3 to 10 keep 0.0", 1, 0},
    {"slash before a read's last value", [](Lines& l) { line(l, kHeader + 1) = " 1 2 3 4 /"; },
     "rateA.dat:5000:10: warning: slash ends the read early: value 5 keeps 0.0", 1, 0},
    {"dropped copies", [](Lines& l) { line(l, kSamples) = " 12*0.14"; },
     "rateA.dat:5001:2: warning: repeat count gives 2 more copies than the read takes: they are dropped", 1, 0},
    {"blank line inside a read", [](Lines& l) { l.insert(l.begin() + kSamples - 1, " "); },
     "rateA.dat:5001:2: warning: blank line inside a value read: the read passes over it to the next record", 1, 0},
    {"run of empty lines inside a read", [](Lines& l) { l.insert(l.begin() + kSamples - 1, 3, ""); },
     "rateA.dat:5001:1: warning: blank line inside a value read", 3, 0},
    {"lone carriage return", [](Lines& l) { line(l, kSamples + 5) = "skipped\r record"; },
     "rateA.dat:5006:8: warning: carriage return without a line feed", 1, 0},
    {"byte 128 to 255 after the values", [](Lines& l) { line(l, kSamples) += " \xe9"; },
     "rateA.dat:5001:72: warning: record holds more than the 10 values its read takes: \"?\" is ignored", 2, 0},
    {"rupture time too wide", [](Lines& l) { line(l, kHeader + 1) = " 1 2 3 4 123456"; },
     "rateA.dat:5000:10: warning: rupture time 123456 s does not fit the report's field", 1, 0},
    {"infinite value", [](Lines& l) { line(l, kSamples).replace(1, 6, "1e999 "); },
     "rateA.dat:5001:2: warning: value beyond the range of a double: it is read as infinity", 3, 0},
    {"longitude out of range", [](Lines& l) { line(l, kHeader) = " 14 -9 400 34.91 9"; },
     "rateA.dat:4999:8: warning: longitude 400 is outside -180 to 360 degrees", 1, 0},
    {"slip too wide", [](Lines& l) { line(l, kSamples).replace(1, 6, "4e5   "); },
     "rateA.dat:4999:1: warning: slip 200003 does not fit the report's field", 2, 0},
    {"text after the last record", [](Lines& l) { l.push_back("extra"); },
     "rateA.dat:13245:1: warning: the file goes on after the last record a run reads: from line 13245 on", 1, 0},
    {"file cut inside a group", [](Lines& l) { l.resize(kSamples); },
     "rateA.dat:5002:1: error: list in: end of file", 0, 1},
    {"record skip at the end of the data", [](Lines& l) { l.resize(kSamples + 4); },
     "rateA.dat:5006:1: error: read start: end of file", 0, 1},
    // Hand edits of line 5001, " 0.1400 0.1400 ...": what a person does to a model.
    {"value deleted", [](Lines& l) { line(l, kSamples).erase(0, 7); },
     "rateA.dat:5001:64: warning: record holds 9 of the 10 values its read takes", 1, 1},
    {"two values joined", [](Lines& l) { line(l, kSamples).erase(7, 1); },
     "rateA.dat:5001:9: warning: entries run together: \"0.14000.1400\" is read as 0.14 (value 1) and "
     "0.14 (value 2)", 1, 0},
    {"two points", [](Lines& l) { line(l, kSamples).insert(5, "."); },
     "rateA.dat:5001:6: warning: entries run together: \"0.14.00\" is read as 0.14 (value 1) and 0 "
     "(value 2), so the record holds more than the 10 values its read takes and \"0.1400\" is ignored", 1, 0},
    {"repeat count run into a value", [](Lines& l) { line(l, kSamples).replace(0, 14, " 2*0.14.5"); },
     "rateA.dat:5001:8: warning: entries run together: \"2*0.14.5\" is read as 0.14 (values 1 to 2) and 0.5 "
     "(value 3), so the record holds more than the 10 values its read takes and \"0.1400\" is ignored", 1, 0},
    {"minus between two values", [](Lines& l) { line(l, kSamples).replace(7, 1, "-"); },
     "rateA.dat:5001:10: warning: entries run together: \"0.1400-0.1400\" is read as 0.14 (value 1) and "
     "0.14 (value 2)", 1, 0},
    {"decimal comma", [](Lines& l) { line(l, kSamples).replace(2, 1, ","); },
     "rateA.dat:5001:3: warning: decimal comma: \"0,1400\" is read as two values, 0 (value 1) and 1400 (value 2), "
     "so the record holds more than the 10 values its read takes and \"0.1400\" is ignored", 1, 0},
    {"decimal comma in the read's last value", [](Lines& l) { line(l, kSamples)[65] = ','; },
     "rateA.dat:5001:66: warning: decimal comma: \"0,1400\" is read as 0 (value 10), so the record holds more than "
     "the 10 values its read takes and \"1400\" is ignored", 1, 0},
    {"comma-separated values that fill their record", [](Lines& l) { line(l, kHeader) = " 14,-9,140,35,9"; },
     "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", 0, 0},
    {"line duplicated", [](Lines& l) { l.insert(l.begin() + kSamples, line(l, kSamples)); },
     "rateA.dat:5005:65: warning: record holds more than the 9 values its read takes: \"0.1400\" is ignored", 1, 1},
    {"line deleted", [](Lines& l) { l.erase(l.begin() + kSamples - 1); },
     "rateA.dat:5004:64: warning: record holds 9 of the 10 values its read takes", 1, 1},
    {"tab for a blank", [](Lines& l) { line(l, kSamples)[7] = '\t'; },
     "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", 0, 0},
    {"stray letter", [](Lines& l) { line(l, kSamples)[6] = 'l'; },
     "rateA.dat:5001:7: error: invalid number: incomprehensible list input", 0, 1},
    {"CR LF line ends", [](Lines& l) { for (std::string& text : l) text += '\r'; },
     "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 0 warnings", 0, 0},
    {"Ctrl-Z in the middle", [](Lines& l) { line(l, kSamples).insert(0, "\x1a"); },
     "rateA.dat:5001:1: error: list in: end of file", 1, 1},
    {"negative 35-degree component", [](Lines& l) { line(l, kSamples) = " -1 -1 -1 -1 -1 -1 -1 -1 -1 -1"; },
     "rateA.dat:4999:1: warning: 35-degree slip -2.27 is negative: the report's rake -27.76334, "
     "35 + atan(s125/s35), names the opposite direction; the slip's own rake is 152.23666, 35 + atan2(s125, s35)",
     1, 0},
    {"every 35-degree component negative",
     [](Lines& l) {
       for (std::size_t n = 0; n < l.size(); ++n) {
         if (n % 14 >= 2 && n % 14 <= 6) {
           for (std::size_t at = 0; (at = l[n].find(" 0.", at)) != std::string::npos; at += 2) l[n].insert(at + 1, "-");
         }
       }
     },
     "rateA.dat:1:1: warning: 35-degree slip -0.245 is negative: the report's rake -28.43495, 35 + atan(s125/s35), "
     "names the opposite direction; the slip's own rake is 151.56505, 35 + atan2(s125, s35); 946 subfaults in all "
     "have a negative 35-degree slip",
     1, 0},
};

TEST(Check, EachKindOfFindingAtItsPlace) {
  for (const Case& c : kCases) {
    Lines lines = canonicalLines();
    c.edit(lines);
    auto checked = checkText(joinLines(lines));
    EXPECT_EQ(checked.out.substr(0, checked.out.find('\n')).substr(0, std::string(c.first).size()), c.first)
        << c.name << "\n" << checked.out;
    EXPECT_EQ(checked.result.warnings, c.warnings) << c.name << "\n" << checked.out;
    EXPECT_EQ(checked.result.errors, c.errors) << c.name;
  }
}

// The whole finding: place, context, excerpt with caret and range.
TEST(Check, ErrorShowsWhereItStandsInTheModel) {
  Lines lines = canonicalLines();
  line(lines, kSamples).replace(15, 6, "1.5E+ ");
  EXPECT_EQ(checkText(joinLines(lines)).out,
            "rateA.dat:5001:16: error: exponent field: incomprehensible list input\n"
            "  in subfault W 9 L14 (group 358 of 946), record 3 of 14: 35-degree samples 1 to 10, value 3\n"
            " 5001 |  0.1400 0.1400 1.5E+  0.1400 0.1400 0.1400 0.1400 0.1400 0.1400 0.1400\n"
            "      |                ^~~~~\n"
            "rateA.dat: 357 subfaults, 5001 records, 38568 values read: 1 error, 0 warnings;"
            " a run would stop at line 5001\n");
}

// The whole output for the edits that change values silently, and a stray
// letter, whose value is that of the text it ends (the only one of its kind:
// no "more ... not shown" note follows).
TEST(Check, HandEditsSayWhatARunReads) {
  const std::string tail = "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 1 warning\n";
  const std::string group = "  in subfault W 9 L14 (group 358 of 946)";
  const std::string record = group + ", record 3 of 14: 35-degree samples 1 to 10";
  const std::string rest = " 0.1400 0.1400 0.1400 0.1400 0.1400 0.1400 0.1400 0.1400 0.1400\n";
  const struct {
    std::string text;  // line 5001
    std::string out;
  } cases[] = {
      {" 0.14.00" + rest.substr(0, rest.size() - 1),
       "rateA.dat:5001:6: warning: entries run together: \"0.14.00\" is read as 0.14 (value 1) and 0 "
       "(value 2), so the record holds more than the 10 values its read takes and \"0.1400\" is ignored\n" +
           record + "\n 5001 |  0.14.00" + rest + "      |      ^~~\n" + tail},
      {" 0,1400" + rest.substr(0, rest.size() - 1),
       "rateA.dat:5001:3: warning: decimal comma: \"0,1400\" is read as two values, 0 (value 1) and 1400 (value 2), "
       "so the record holds more than the 10 values its read takes and \"0.1400\" is ignored\n" +
           record + "\n 5001 |  0,1400" + rest + "      |   ^\n" + tail},
      {" -1 -1 -1 -1 -1 -1 -1 -1 -1 -1",
       "rateA.dat:4999:1: warning: 35-degree slip -2.27 is negative: the report's rake -27.76334, 35 + "
       "atan(s125/s35), names the opposite direction; the slip's own rake is 152.23666, 35 + atan2(s125, s35)\n" +
           group + "\n" + tail},
      {" 0.140l" + rest.substr(0, rest.size() - 1),
       "rateA.dat:5001:7: error: invalid number: incomprehensible list input\n" + record + ", value 1\n 5001 |  0.140l" +
           rest + "      |       ^\nrateA.dat: 357 subfaults, 5001 records, 38567 values read: 1 error, 0 warnings; "
                  "a run would stop at line 5001\n"},
  };
  for (const auto& c : cases) {
    Lines lines = canonicalLines();
    line(lines, kSamples) = c.text;
    EXPECT_EQ(checkText(joinLines(lines)).out, c.out);
  }
}

// One value short with text in the skipped records: the run fails five
// records later, and the note leads back to the short record.
TEST(Check, ShortRecordShiftsTheLayoutAndTheErrorLeadsBackToIt) {
  Lines lines = canonicalLines();
  line(lines, kSamples).resize(63);
  auto checked = checkText(joinLines(lines));
  EXPECT_EQ(lineWith(checked.out, "warning:"),
            "rateA.dat:5001:64: warning: record holds 9 of the 10 values its read takes: the read takes the rest "
            "from the next record and discards what is left of it, so every later read starts a record late");
  EXPECT_EQ(lineWith(checked.out, "error:"), "rateA.dat:5006:1: error: invalid number: incomprehensible list input");
  EXPECT_EQ(lineWith(checked.out, "note:"),
            "rateA.dat:5001:64: note: the layout shifted here, where a record holds 9 of the 10 values its read "
            "takes; every read since has started a record late");
  EXPECT_EQ(checked.result.warnings, 1);
}

TEST(Check, FirstOfEachKindInFullTheRestCounted) {
  // The count of those not shown, one or more, of findings made one by one or counted in a run.
  const struct {
    const char* name;
    std::vector<int> at;  // lines that get the edit
    bool blankLine;       // a blank line before each, else a surplus value after it
    std::string note;
  } counts[] = {
      {"two surplus values", {3, 17}, false, "1 more \"values beyond a read\" warning not shown"},
      {"two separate blank lines", {3, 17}, true, "1 more \"blank line\" warning not shown"},
      {"three separate blank lines", {3, 17, 31}, true, "2 more \"blank line\" warnings not shown"},
  };
  for (const auto& c : counts) {
    Lines lines = canonicalLines();
    for (auto n = c.at.rbegin(); n != c.at.rend(); ++n) {
      if (c.blankLine) {
        lines.insert(lines.begin() + *n - 1, "");
      } else {
        line(lines, *n) += " 9";
      }
    }
    auto checked = checkText(joinLines(lines));
    EXPECT_EQ(checked.result.warnings, static_cast<long long>(c.at.size())) << c.name;
    EXPECT_EQ(lineWith(checked.out, "note:"), "rateA.dat: note: " + c.note + "; --all-warnings shows every one") << c.name;
  }

  Lines lines = canonicalLines();
  for (int n : {3, 17, 31}) line(lines, n) += " 9";
  auto some = checkText(joinLines(lines));
  EXPECT_EQ(some.result.warnings, 3);
  EXPECT_NE(some.out.find("rateA.dat:3:72: warning:"), std::string::npos);
  EXPECT_EQ(some.out.find("rateA.dat:17:72: warning:"), std::string::npos);
  EXPECT_NE(some.out.find("rateA.dat: note: 2 more \"values beyond a read\" warnings not shown; --all-warnings shows every one\n"),
            std::string::npos);

  auto all = checkText(joinLines(lines), {.all = true});
  EXPECT_NE(all.out.find("rateA.dat:31:72: warning:"), std::string::npos);
  EXPECT_EQ(all.out.find("not shown"), std::string::npos);

  auto quiet = checkText(joinLines(lines), {.quiet = true});
  EXPECT_EQ(quiet.out, "rateA.dat: 946 subfaults, 13244 records, 102168 values read: 0 errors, 3 warnings\n");
}

// Block edges fall anywhere in a file: findings and excerpts must not move.
TEST(Check, FindingsDoNotDependOnHowTheTextArrives) {
  for (const Case& c : kCases) {
    Lines lines = canonicalLines();
    c.edit(lines);
    const std::string model = joinLines(lines);
    const std::string whole = checkText(model).out;
    for (std::size_t chunk : {1u, 7u, 4099u}) EXPECT_EQ(checkText(model, {}, chunk).out, whole) << c.name << chunk;
  }
}

TEST(Check, ExcerptOfALongLineIsCutAroundTheColumn) {
  const std::string longLine = std::string(150, 'a') + "BAD" + std::string(150, 'b');
  EXPECT_EQ(cli::renderExcerpt(7, longLine, 151, 153),
            " 7 | ..." + std::string(60, 'a') + "BAD" + std::string(37, 'b') + "...\n" +
                "   |    " + std::string(60, ' ') + "^~~\n");
  // A range that runs to the end of a long line stops one past the excerpt.
  EXPECT_EQ(cli::renderExcerpt(7, longLine, 151, 303),
            " 7 | ..." + std::string(60, 'a') + "BAD" + std::string(37, 'b') + "...\n" +
                "   |    " + std::string(60, ' ') + "^" + std::string(40, '~') + "\n");
  EXPECT_EQ(cli::renderExcerpt(12, "1\t2\x01", 3, 3), " 12 | 1 2?\n    |   ^\n");
  EXPECT_EQ(cli::renderExcerpt(1, "", 1, 1), " 1 | \n   | ^\n");
}

}  // namespace
}  // namespace slip
