#include "source/kml_writer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "science/colour_scale.h"
#include "science/outline.h"
#include "science/rise_time.h"
#include "source/source_text.h"

namespace slip::source {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// The text escaped for an XML element's content.
void xmlText(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

// HTML inside a CDATA section; every text in it is escaped (xmlText), so "]]>" never occurs.
void cdata(std::string& out, std::string_view html) {
  out += "<![CDATA[";
  out += html;
  out += "]]>";
}

std::uint32_t key(const Colour& c) {
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

void hexByte(std::string& out, std::uint32_t byte) {
  out += kHex[(byte >> 4) & 15];
  out += kHex[byte & 15];
}

void styleId(std::string& out, std::uint32_t rgb) {
  out += "slip";
  hexByte(out, rgb >> 16);
  hexByte(out, rgb >> 8);
  hexByte(out, rgb);
}

// KML's aabbggrr.
void kmlColour(std::string& out, const char* alpha, std::uint32_t rgb) {
  out += alpha;
  hexByte(out, rgb);
  hexByte(out, rgb >> 8);
  hexByte(out, rgb >> 16);
}

void tuple(std::string& out, const LonLat& p) {
  appendFixed(out, normalLongitude(p.lon), 6);
  out += ',';
  appendFixed(out, p.lat, 6);
}

void tuple(std::string& out, const SharedFigures::Point& p) {
  out += p.lon;
  out += ',';
  out += p.lat;
}

// One "<tr><td>NAME</td><td>VALUE UNIT</td></tr>" of a description.
void row(std::string& out, std::string_view name, double value, std::string_view unit) {
  out += "<tr><td>";
  out += name;
  out += "</td><td>";
  appendGeneral(out, value, 6);
  out += unit;
  out += "</td></tr>";
}

// The same, the value's text at hand.
void row(std::string& out, std::string_view name, std::string_view value, std::string_view unit) {
  out += "<tr><td>";
  out += name;
  out += "</td><td>";
  out += value;
  out += unit;
  out += "</td></tr>";
}

// appendGeneral(.., 6) of a figure that often repeats from one subfault to
// the next (the rake of the subfaults without slip): the last text, reused.
struct Repeated {
  double value = 0.0;
  std::string text;
  std::string_view of(double v) {
    if (text.empty() || std::bit_cast<std::uint64_t>(v) != std::bit_cast<std::uint64_t>(value)) {
      value = v;
      text.clear();
      appendGeneral(text, v, 6);
    }
    return text;
  }
};

// The slip scale's legend: a swatch of the fill colour at six slips from 0 to `top`.
constexpr int kLegendSteps = 5;
void legend(std::string& out, double top) {
  out += "<p>Fill colour: the subfault's slip</p><table>";
  for (int step = 0; step <= kLegendSteps; ++step) {
    const double slip = top * step / kLegendSteps;
    out += "<tr><td style=\"background-color:#";
    const std::uint32_t rgb = key(slipColour(slip, 0.0, top));
    hexByte(out, rgb >> 16);
    hexByte(out, rgb >> 8);
    hexByte(out, rgb);
    out += "\">&#160;&#160;&#160;&#160;</td><td>";
    appendGeneral(out, slip, 6);
    out += " m</td></tr>";
  }
  out += "</table>";
}

}  // namespace

std::string kmlText(const SourceModel& model, const FileLabels& labels) {
  SharedFigures shared(model);
  return kmlText(model, labels, shared);
}

std::string kmlText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared) {
  const PositionMap& map = shared.map();
  double top = 0.0;
  for (const SubfaultSource& f : model.subfaults) top = std::max(top, f.slip);
  std::vector<std::uint32_t> colours;
  colours.reserve(model.subfaults.size());
  for (const SubfaultSource& f : model.subfaults) colours.push_back(key(slipColour(f.slip, 0.0, top)));  // total slip is never negative: the scale starts at 0

  std::string out;
  out.reserve(1500000);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>";
  xmlText(out, oneLine(labels.event));
  out += "</name>\n<description>";
  std::string summary = "<pre>";
  xmlText(summary, summaryText(model, oneLine(labels.model)));
  summary += "</pre>";
  legend(summary, top);
  summary += "<p>";
  xmlText(summary, fileOrigin(labels));
  summary += "</p>";
  cdata(out, summary);
  out += "</description>\n";

  // One style per colour, in the order of first use.
  std::vector<std::uint32_t> seen(colours);
  std::sort(seen.begin(), seen.end());
  seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
  std::vector<bool> written(seen.size(), false);
  for (std::uint32_t rgb : colours) {
    const auto at = static_cast<std::size_t>(std::lower_bound(seen.begin(), seen.end(), rgb) - seen.begin());
    if (written[at]) continue;
    written[at] = true;
    out += "<Style id=\"";
    styleId(out, rgb);
    out += "\"><LineStyle><color>";
    kmlColour(out, "ff", rgb);
    out += "</color><width>0.5</width></LineStyle><PolyStyle><color>";
    kmlColour(out, "d9", rgb);
    out += "</color></PolyStyle></Style>\n";
  }

  std::string text;
  Repeated vectorRake, reportRake;
  for (std::size_t i = 0; i < model.subfaults.size(); ++i) {
    const SubfaultSource& f = model.subfaults[i];
    out += "<Placemark><name>W ";
    appendInteger(out, f.iw);
    out += " L ";
    appendInteger(out, f.il);
    out += "</name><description><![CDATA[<table>";  // the HTML's texts are all numbers: no "]]>"
    const double rake = slipVectorRake(f);
    const std::string_view rakeText = vectorRake.of(rake);
    row(out, "slip", f.slip, " m");
    row(out, "rake (slip vector)", rakeText, " deg");
    row(out, "rake (report)",
        std::bit_cast<std::uint64_t>(f.rake) == std::bit_cast<std::uint64_t>(rake) ? rakeText : reportRake.of(f.rake),
        " deg");
    row(out, "slip along 35 deg", f.slip35, " m");
    row(out, "slip along 125 deg", f.slip125, " m");
    row(out, "rupture time", f.ruptureTime, " s");
    row(out, "rise time", f.riseTime, " s");
    row(out, "moment", f.moment, " N m");
    row(out, "distance from the hypocentre", hypocentralDistance(f), " km");
    if (model.geometry.hasDepth) row(out, "depth", f.depth, " km");
    out += "</table>]]></description><styleUrl>#";
    styleId(out, colours[i]);
    out += "</styleUrl><Polygon><altitudeMode>clampToGround</altitudeMode><outerBoundaryIs><LinearRing><coordinates>";
    const std::array<SharedFigures::Point, 4> ring = shared.outline(i);
    for (const SharedFigures::Point& p : ring) {
      tuple(out, p);
      out += ' ';
    }
    tuple(out, ring[0]);  // the ring closes on its first tuple
    out += "</coordinates></LinearRing></outerBoundaryIs></Polygon></Placemark>\n";
  }
  out += "<Placemark><name>epicentre</name><description>";
  text = "<table>";
  row(text, "M0", model.summary.moment, " N m");
  text += "<tr><td>Mw</td><td>";
  appendFixed(text, model.summary.mw, 2);
  text += "</td></tr>";
  row(text, "strike", model.geometry.strike, " deg");
  row(text, "dip", model.geometry.dip, " deg");
  if (model.geometry.hasDepth) row(text, "depth", model.geometry.depth, " km");
  text += "</table>";
  cdata(out, text);
  out += "</description><Point><coordinates>";
  tuple(out, map.at(0.0, 0.0));
  out += "</coordinates></Point></Placemark>\n</Document>\n</kml>\n";
  return out;
}

}  // namespace slip::source
