// Feeds arbitrary bytes to slipcheck's checker.
//
// Each input is checked twice, from one large block and from blocks of 1 to
// 5 bytes: the findings must be the same text, entries that run together and
// decimal commas included (their texts come from the line, wherever the
// blocks end). Checked a third time with --all the other way round, it must
// count the same findings: a finding is counted whether it is shown or not.
// The checker's verdict must be the run's: an error exactly when the plain
// reader fails on the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/grid.h"
#include "check/model_check.h"
#include "input/byte_source.h"
#include "input/subfault_groups.h"

namespace {

class StringOutput final : public slip::check::Output {
 public:
  void write(std::string_view text) override { text_ += text; }
  std::string text_;
};

std::vector<unsigned char> storage(1 << 16);

slip::check::CheckResult check(const std::uint8_t* data, std::size_t size, std::size_t chunk, bool all,
                               std::string& out) {
  slip::MemoryFeed feed{{data, size}, chunk, 0};
  slip::ByteSource source(storage, &slip::MemoryFeed::refill, &feed);
  StringOutput text;
  slip::check::CheckResult result = slip::check::checkModel(source, "fuzz.dat", {}, {.all = all}, text);
  out = std::move(text.text_);
  return result;
}

bool runFails(const std::uint8_t* data, std::size_t size) {
  static auto* grid = new slip::SubfaultGrid();
  *grid = slip::SubfaultGrid();
  slip::MemoryFeed feed{{data, size}, static_cast<std::size_t>(-1), 0};
  slip::ByteSource source(storage, &slip::MemoryFeed::refill, &feed);
  slip::ListReader reader(source);
  return !slip::readSubfaultGroups(reader, *grid, nullptr).ok();
}

void withoutReportHint(std::string& text) {
  const std::string hint = ": this is slipreport's report, not a model; give the model it was made from (rateA.dat)";
  for (std::size_t at = text.find(hint); at != std::string::npos; at = text.find(hint, at)) text.erase(at, hint.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool all = size > 0 && (data[0] & 1) != 0;
  const std::size_t chunk = size > 0 ? 1 + data[0] % 5 : 1;
  std::string whole, pieces;
  slip::check::CheckResult a = check(data, size, static_cast<std::size_t>(-1), all, whole);
  slip::check::CheckResult b = check(data, size, chunk, all, pieces);
  // The hint that a report was given for a model is read from the bytes of the
  // source's first block: fed a byte or two at a time, the title may not be
  // there yet, so the hint alone may differ between the two feeds.
  withoutReportHint(whole);
  withoutReportHint(pieces);
  if (whole != pieces || a.errors != b.errors || a.warnings != b.warnings) std::abort();
  std::string other;
  slip::check::CheckResult c = check(data, size, static_cast<std::size_t>(-1), !all, other);
  if (a.errors != c.errors || a.warnings != c.warnings) std::abort();
  if ((a.errors > 0) != runFails(data, size)) std::abort();
  return 0;
}
