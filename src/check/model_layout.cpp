#include "check/model_layout.h"

#include "text/text.h"

namespace slip::check {
namespace {

// What each of a group's 14 requests reads.
const char* const kRoles[kRequestsPerGroup] = {
    "first header record",        "second header record",       "35-degree samples 1 to 10",
    "35-degree samples 11 to 20", "35-degree samples 21 to 30", "35-degree samples 31 to 40",
    "35-degree samples 41 to 49", "first skipped record",       "second skipped record",
    "125-degree samples 1 to 10", "125-degree samples 11 to 20", "125-degree samples 21 to 30",
    "125-degree samples 31 to 40", "125-degree samples 41 to 49"};

}  // namespace

std::string ModelLayout::gridSize() const {
  return format("%d x %d subfaults (%d groups)", rows_, columns_, groups());
}

std::string ModelLayout::subfault(int group) const {
  return format("in subfault W%2d L%2d (group %d of %d)", group / columns_ + 1, group % columns_ + 1, group + 1,
                groups());
}

std::string ModelLayout::request(int request, int value) const {
  std::string text =
      subfault(group(request)) + format(", record %d of %d: %s", role(request) + 1, kRequestsPerGroup, kRoles[role(request)]);
  if (value > 0) text += format(", value %d", value);
  return text;
}

}  // namespace slip::check
