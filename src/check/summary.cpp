#include "check/summary.h"

#include "text/text.h"

namespace slip::check {

std::string summaryLine(std::string_view name, const Tally& t) {
  std::string text(name);
  text += format(": %d subfault%s, %lld record%s, %lld value%s read: %d error%s, %lld warning%s", t.subfaults,
                 plural(t.subfaults), t.records, plural(t.records), t.values, plural(t.values), t.errors,
                 plural(t.errors), t.warnings, plural(t.warnings));
  if (t.errors > 0) text += format("; a run would stop at line %lld", t.stopLine);
  return text + "\n";
}

}  // namespace slip::check
