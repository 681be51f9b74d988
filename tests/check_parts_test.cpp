// slipcheck's parts on their own: the layout's words, the report's value
// checks, the summary line and the pieces of messages.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "check/model_layout.h"
#include "check/summary.h"
#include "check/value_checks.h"
#include "compose/slip_composer.h"
#include "text/text.h"

namespace slip::check {
namespace {

TEST(CheckParts, LayoutNamesEachRequestByTheGrid) {
  auto grid = std::make_unique<SubfaultGrid>();
  const ModelLayout layout(*grid);
  EXPECT_EQ(layout.groups(), 946);
  EXPECT_EQ(layout.request(1), "in subfault W 1 L 1 (group 1 of 946), record 1 of 14: first header record");
  EXPECT_EQ(layout.request(5001, 3),
            "in subfault W 9 L14 (group 358 of 946), record 3 of 14: 35-degree samples 1 to 10, value 3");
  EXPECT_EQ(layout.request(13244), "in subfault W22 L43 (group 946 of 946), record 14 of 14: 125-degree samples 41 to 49");
}

TEST(CheckParts, HeaderValuesAsTheReportShowsThem) {
  const struct {
    int role, slot;
    double value;
    const char* message;  // "" for no problem
  } cases[] = {
      {0, 2, 360.0, ""},
      {0, 2, 400.0, "longitude 400 is outside -180 to 360 degrees"},
      {0, 2, NAN, "longitude nan is outside -180 to 360 degrees"},
      {0, 3, -91.0, "latitude -91 is outside -90 to 90 degrees"},
      {1, 4, 9999.99999, ""},
      {1, 4, 99999.5, "rupture time 99999.5 s does not fit the report's field and prints as asterisks"},
      {1, 3, 1e9, ""},  // a value no report shows
  };
  for (const auto& c : cases) {
    Problem problem{Kind::kError, ""};
    const bool found = headerValueProblem(c.role, c.slot, c.value, problem);
    EXPECT_EQ(found, *c.message != '\0') << c.message;
    EXPECT_EQ(problem.message, c.message);
  }
}

// Values known on paper: slip along rake 215 is reported as 35, along rake
// 170 as -10, the opposite directions.
TEST(CheckParts, NegativeSlip35NamesBothRakes) {
  const struct {
    double s35, s125;
    const char* message;  // "" for none
  } cases[] = {
      {-1.0, 0.0, "35-degree slip -1 is negative: the report's rake 35.00000, 35 + atan(s125/s35), names the "
                  "opposite direction; the slip's own rake is 215.00000, 35 + atan2(s125, s35)"},
      {-1.0, 1.0, "35-degree slip -1 is negative: the report's rake -10.00000, 35 + atan(s125/s35), names the "
                  "opposite direction; the slip's own rake is 170.00000, 35 + atan2(s125, s35)"},
      {1.0, -1.0, ""},
      {0.0, -1.0, ""},  // reported as 90: a rule of the report, not a sign
  };
  for (const auto& c : cases) {
    auto grid = std::make_unique<SubfaultGrid>();
    grid->slp35(1, 5, 2) = 2 * c.s35;  // half the sum of the samples
    grid->slp125(1, 5, 2) = 2 * c.s125;
    composeGrid(*grid);
    const std::vector<Problem> problems = composedProblems(*grid, 5, 2);
    if (*c.message == '\0') {
      EXPECT_TRUE(problems.empty()) << c.s35;
    } else {
      ASSERT_EQ(problems.size(), 1u) << c.s35;
      EXPECT_EQ(problems[0].kind, Kind::kNegativeSlip35);
      EXPECT_EQ(problems[0].message, c.message);
    }
  }
}

TEST(CheckParts, SummaryLine) {
  EXPECT_EQ(summaryLine("m.dat", {1, 1, 1, 0, 1, 0}), "m.dat: 1 subfault, 1 record, 1 value read: 0 errors, 1 warning\n");
  EXPECT_EQ(summaryLine("m.dat", {357, 5001, 38566, 1, 2, 5001}),
            "m.dat: 357 subfaults, 5001 records, 38566 values read: 1 error, 2 warnings; a run would stop at line 5001\n");
}

TEST(CheckParts, MessagePieces) {
  // Messages are never cut short, however long the model's text makes them.
  EXPECT_EQ(format("%s|", std::string(300, 'x').c_str()), std::string(300, 'x') + "|");
  EXPECT_EQ(showValue(1.944e-11), "1.944E-11");
  EXPECT_EQ(showValue(0.09924), "0.09924");
  EXPECT_EQ(showValue(-INFINITY), "-inf");
  EXPECT_EQ(quotedText("1\t2\xe9"), "\"1?2?\"");
  EXPECT_EQ(quotedText(std::string(41, '7')), "\"" + std::string(37, '7') + "...\"");
}

}  // namespace
}  // namespace slip::check
