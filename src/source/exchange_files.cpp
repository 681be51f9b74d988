#include "source/exchange_files.h"

#include "source/exchange_text.h"
#include "source/fsp_writer.h"
#include "source/geojson_writer.h"
#include "source/kml_writer.h"
#include "source/shared_figures.h"
#include "source/srf_writer.h"
#include "text/text.h"

namespace slip::source {
void ExchangeFiles::settle(std::string& mr) {
  if (all.empty()) return;
  for (auto [file, suffix] : {std::pair{&fsp, ".fsp"}, std::pair{&srf, ".srf"}, std::pair{&geojson, ".geojson"},
                              std::pair{&kml, ".kml"}, std::pair{&mr, ".mr"}}) {
    if (file->empty()) *file = all + suffix;
  }
}

std::string ExchangeFiles::depthMistake(bool hasDepth) const {
  const char* need = " each subfault's depth: give the hypocentre's --depth KM";
  if (hasDepth || (fsp.empty() && srf.empty())) return "";
  if (!all.empty()) return std::string("--all writes FSP and SRF files, which need") + need;
  if (!fsp.empty() && !srf.empty()) return std::string("--fsp and --srf need") + need;
  return std::string(fsp.empty() ? "--srf" : "--fsp") + " needs" + need;
}

std::vector<std::string> ExchangeFiles::targets() const {
  std::vector<std::string> out;
  for (const std::string* file : {&fsp, &srf, &geojson, &kml}) {
    if (!file->empty() && *file != "-") out.push_back(*file);
  }
  return out;
}

void ExchangeFiles::render(const SourceModel& model, std::string_view modelName, cli::StandardOutput& out,
                           std::vector<cli::OutputFile>& files) const {
  const FileLabels labels{event.empty() ? baseName(modelName) : std::string_view(event), modelName};
  using Writer = std::string (*)(const SourceModel&, const FileLabels&, SharedFigures&);
  SharedFigures shared(model);  // formatted once for all the files
  for (auto [file, writer] : {std::pair<const std::string*, Writer>{&fsp, fspText}, {&srf, srfText},
                              {&geojson, geojsonText}, {&kml, kmlText}}) {
    if (file->empty()) continue;
    std::string bytes = writer(model, labels, shared);
    if (*file == "-") {
      out.write(bytes);
    } else {
      files.push_back({*file, std::move(bytes)});
    }
  }
}

}  // namespace slip::source
