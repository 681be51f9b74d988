#include <string>

#include "map/layout_parts.h"
#include "report/field_editor.h"

namespace slip::map {

std::string cellTooltip(const ReportData& data, int il, int iw) {
  std::string text = "W " + std::to_string(iw) + ", L " + std::to_string(il);
  for (int s = 0; s < report::kSectionCount; ++s) {
    const auto section = static_cast<report::Section>(s);
    const report::SectionShape& shape = report::kSections[s];
    text += "\n";
    text += shape.title;
    text += ": ";
    if (!data.has(section, il, iw)) {
      text += "no value";
      continue;
    }
    char field[16];
    editFixed(data.value(section, il, iw), shape.width, shape.decimals, field);
    std::string printed(field, static_cast<std::size_t>(shape.width));
    text += printed.substr(printed.find_first_not_of(' ') == std::string::npos ? 0 : printed.find_first_not_of(' '));
  }
  return text;
}

}  // namespace slip::map
