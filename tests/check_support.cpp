#include "check_support.h"

#include <span>

#include "input/byte_source.h"
#include "model_text.h"

namespace slip::testing {
namespace {

class StringOutput final : public check::Output {
 public:
  void write(std::string_view text) override { text_ += text; }
  std::string text_;
};

}  // namespace

Checked checkText(std::string_view model, check::CheckOptions options, std::size_t chunk) {
  std::vector<unsigned char> storage(64 * 1024);
  MemoryFeed feed{{reinterpret_cast<const unsigned char*>(model.data()), model.size()}, chunk};
  ByteSource source({storage.data(), storage.size()}, &MemoryFeed::refill, &feed);
  StringOutput out;
  Checked checked;
  // What slipcheck's file feed notes of a Ctrl-Z, which the source hides.
  const std::size_t z = model.find('\x1a');
  const check::RawFacts raw{z != std::string_view::npos, z != std::string_view::npos && z + 1 < model.size()};
  checked.result = check::checkModel(source, "rateA.dat", raw, options, out);
  checked.out = std::move(out.text_);
  return checked;
}

std::vector<std::string> canonicalLines() {
  std::vector<std::string> lines;
  const std::string text = canonicalModel();
  std::size_t start = 0;
  for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf - start));
  }
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string lineWith(const std::string& text, std::string_view what) {
  std::size_t at = text.find(what);
  if (at == std::string::npos) return "";
  std::size_t start = text.rfind('\n', at);
  start = start == std::string::npos ? 0 : start + 1;
  return text.substr(start, text.find('\n', at) - start);
}

}  // namespace slip::testing
