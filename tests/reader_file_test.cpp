// Whole model files: the group order, the grid's spare cells, and the real unit 11.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/units.h"
#include "input/model_reader.h"
#include "input/subfault_groups.h"
#include "reader_support.h"
#include "tool_runner.h"

namespace slip::testing {
namespace {

// Every used slot holds the file's value; the spare row, column and sample stay 0.0.
void expectGrid(SubfaultGrid& grid, SubfaultGrid& expected) {
  int wrong = 0;
  auto check = [&wrong](double got, double want) {
    if (!sameDouble(got, want) && ++wrong <= 5) ADD_FAILURE() << got << " vs " << want;
  };
  for (int iw = 1; iw <= SubfaultGrid::kRowCells; ++iw) {
    for (int il = 1; il <= SubfaultGrid::kColumnCells; ++il) {
      bool used = iw <= 22 && il <= 43;
      for (int s = 1; s <= 5; ++s) {
        check(grid.a1(s, il, iw), used ? expected.a1(s, il, iw) : 0.0);
        check(grid.a2(s, il, iw), used ? expected.a2(s, il, iw) : 0.0);
      }
      for (int k = 1; k <= SubfaultGrid::kSampleCells; ++k) {
        check(grid.slp35(k, il, iw), used && k <= 49 ? expected.slp35(k, il, iw) : 0.0);
        check(grid.slp125(k, il, iw), used && k <= 49 ? expected.slp125(k, il, iw) : 0.0);
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST(ReaderFile, CanonicalModelThroughUnit11) {
  for (const char* lineEnd : {"\n", "\r\n"}) {
    SCOPED_TRACE(lineEnd[0] == '\r' ? "CR LF" : "LF");
    auto expected = std::make_unique<SubfaultGrid>();
    std::string text = canonicalModel(*expected, lineEnd) + "records past the last group are never read\n";
    TempDir dir;
    dir.write("rateA.dat", text);
    auto grid = std::make_unique<SubfaultGrid>();
    {
      WorkingDirectory here(dir.path());
      readModelFile(*grid);
    }
    expectGrid(*grid, *expected);
    // The last request left its mark as a free-format read on unit 11.
    const IoContext& io = ioContext();
    EXPECT_EQ(io.currentUnit, 11);
    EXPECT_STREQ(io.formatText, kListIo);
    EXPECT_TRUE(io.reading && io.sequential && io.formatted && io.external);
  }
}

int requestCount = 0;

// Where a file cut after a record stops the group sequence.
TEST(ReaderFile, CutAfterARecord) {
  auto expected = std::make_unique<SubfaultGrid>();
  std::string whole = canonicalModel(*expected);
  auto cutAfter = [&whole](int records) {
    std::size_t at = 0;
    for (int i = 0; i < records; ++i) at = whole.find('\n', at) + 1;
    return whole.substr(0, at);
  };
  struct Case {
    int records;
    ReadError error;
    int requests;  // the failing one included
  };
  // A group is 14 requests, one record each: reads 1..7, skips 8 and 9, reads 10..14.
  // After 14 + 7 records group 2's first skip meets the end of the file and
  // passes, so the second skip finds the end already met.
  for (const Case& c : {Case{0, ReadError::kListInEof, 1}, Case{20, ReadError::kListInEof, 21},
                        Case{21, ReadError::kReadStart, 23}, Case{22, ReadError::kReadStart, 24},
                        Case{23, ReadError::kListInEof, 24}}) {
    SCOPED_TRACE(c.records);
    MemoryReader memory(cutAfter(c.records));
    auto grid = std::make_unique<SubfaultGrid>();
    requestCount = 0;
    ReadStatus status = readSubfaultGroups(memory.reader(), *grid, [] { ++requestCount; });
    EXPECT_EQ(status.error, c.error);
    EXPECT_EQ(requestCount, c.requests);
  }
}

}  // namespace
}  // namespace slip::testing
