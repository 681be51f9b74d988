#include "exchange_reader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace slip::testing {
namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return std::string(text);
}

// The "KEY = value" pairs of one header line after its "LABEL :".
void headerPairs(const std::string& label, std::string_view rest, std::map<std::string, double>& header) {
  std::string spaced;
  for (char c : rest) spaced += c == '=' ? std::string(" = ") : std::string(1, c);  // "KEY=value" too
  std::istringstream words{spaced};
  std::vector<std::string> w;
  for (std::string s; words >> s;) w.push_back(s);
  for (std::size_t i = 1; i + 1 < w.size(); ++i) {
    if (w[i] != "=") continue;
    char* end = nullptr;
    const double v = std::strtod(w[i + 1].c_str(), &end);
    if (end != w[i + 1].c_str()) header.emplace(label + "." + lower(w[i - 1]), v);
  }
}

}  // namespace

double FspFile::value(const std::string& key) const {
  const auto it = header.find(key);
  return it == header.end() ? std::nan("") : it->second;
}

FspFile readFsp(std::string_view text) {
  FspFile file;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '%') {
      const auto colon = line.find(':');
      if (colon != std::string::npos) headerPairs(lower(trim(std::string_view(line).substr(1, colon - 1))),
                                                  std::string_view(line).substr(colon + 1), file.header);
      continue;
    }
    std::istringstream values(line);
    std::vector<double> row;
    for (double v; values >> v;) row.push_back(v);
    file.rows.push_back(row);
  }
  return file;
}

namespace {

SrfFile readSrfStream(const std::string& body) {
  SrfFile file;
  std::istringstream in(body);
  in >> file.version;
  std::string word;
  in >> word;
  int segments = 1;
  if (word == "PLANE") {
    in >> file.planes;
    segments = file.planes;
    for (int i = 0; i < 2 * segments; ++i) {
      std::vector<double> v(i % 2 == 0 ? 6 : 5);
      for (double& x : v) in >> x;
      file.planeLines.push_back(v);
    }
    in >> word;
  }
  if (word != "POINTS") return file;
  std::size_t count = 0;
  in >> count;
  for (std::size_t i = 0; i < count && in; ++i) {
    SrfPoint p{};
    double nt1 = 0, nt2 = 0, nt3 = 0;
    in >> p.lon >> p.lat >> p.dep >> p.stk >> p.dip >> p.area >> p.tinit >> p.dt >> p.vs >> p.den;
    in >> p.rake >> p.slip1 >> nt1 >> p.slip2 >> nt2 >> p.slip3 >> nt3;
    for (auto [n, sr] : {std::pair{nt1, &p.sr1}, std::pair{nt2, &p.sr2}, std::pair{nt3, &p.sr3}}) {
      sr->resize(static_cast<std::size_t>(n));
      for (double& x : *sr) in >> x;
    }
    if (in) file.points.push_back(std::move(p));
  }
  in >> word;
  file.complete = file.points.size() == count && !in;
  return file;
}

}  // namespace

SrfFile readSrf(std::string_view text) {
  std::string body;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] == '#') continue;
    body += line + "\n";
  }
  return readSrfStream(body);
}

SrfFile readSrfPlaneOnLine2(std::string_view text) {
  std::istringstream lines{std::string(text)};
  std::string version, second, plane;
  std::getline(lines, version);
  std::getline(lines, second);
  std::istringstream words(second);
  int count = 0;
  if (!(words >> plane >> count) || plane != "PLANE" || count < 1) return {};
  return readSrfStream(std::string(text));
}

std::vector<std::string> fspPatternLines(std::string_view text) {
  std::vector<std::string> out;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] != '%') continue;
    std::istringstream words(line.substr(1));
    std::string collapsed;
    for (std::string w; words >> w;) collapsed += (collapsed.empty() ? "" : " ") + w;
    if (collapsed.empty() || collapsed[0] == '-' || collapsed.starts_with("Event :")) continue;
    if (collapsed.starts_with("Data")) break;
    out.push_back(collapsed);
  }
  return out;
}

}  // namespace slip::testing
