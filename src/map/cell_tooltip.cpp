#include <string>
#include <string_view>

#include "map/layout_parts.h"
#include "report/field_editor.h"

namespace slip::map {

std::string cellTooltip(const ReportData& data, int il, int iw) {
  std::string text;
  text.reserve(256);
  text += "W ";
  text += std::to_string(iw);
  text += ", L ";
  text += std::to_string(il);
  for (int s = 0; s < report::kSectionCount; ++s) {
    const auto section = static_cast<report::Section>(s);
    const report::SectionShape& shape = report::kSections[s];
    text += '\n';
    text += shape.title;
    text += ": ";
    if (!data.has(section, il, iw)) {
      text += "no value";
      continue;
    }
    // The field as the report prints it, without its leading blanks (all of
    // it when it is all blanks).
    char field[16];
    editFixed(data.value(section, il, iw), shape.width, shape.decimals, field);
    const std::string_view printed(field, static_cast<std::size_t>(shape.width));
    const std::size_t first = printed.find_first_not_of(' ');
    text += printed.substr(first == std::string_view::npos ? 0 : first);
  }
  return text;
}

}  // namespace slip::map
