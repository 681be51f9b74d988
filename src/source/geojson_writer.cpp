#include "source/geojson_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "science/outline.h"
#include "science/rise_time.h"

namespace slip::source {
namespace {

// `"key": value` members of one object.
struct Members {
  std::string& out;
  const char* separator = "";
  void key(const char* name) {
    out += separator;
    out += '"';
    out += name;
    out += "\": ";
    separator = ", ";
  }
  void number(const char* name, double value) {
    key(name);
    if (std::isfinite(value)) {
      appendGeneral(out, value, 9);
    } else {
      out += "null";
    }
  }
  // A number whose appendGeneral(.., 9) text is at hand.
  void number(const char* name, double value, std::string_view text) {
    key(name);
    if (std::isfinite(value)) {
      out += text;
    } else {
      out += "null";
    }
  }
  void integer(const char* name, long long value) {
    key(name);
    appendInteger(out, value);
  }
  void text(const char* name, std::string_view value) {
    key(name);
    appendJsonString(out, value);
  }
};

void position(std::string& out, const SharedFigures::Point& p) {
  out += '[';
  out += p.lon;
  out += ", ";
  out += p.lat;
  out += ']';
}

// A point of the map, its longitude brought into (-180, 180]; a cut ring's
// eastern piece keeps its -180 as it is.
void position(std::string& out, const LonLat& p, bool normalize = true) {
  out += '[';
  appendFixed(out, normalize ? normalLongitude(p.lon) : p.lon, 6);
  out += ", ";
  appendFixed(out, p.lat, 6);
  out += ']';
}

// A polygon's "geometry" member: the ring, or its two pieces where it crosses the 180th meridian.
void polygon(std::string& out, const Ring& ring) {
  std::array<std::vector<LonLat>, 2> pieces;
  const bool cut = cutAtAntimeridian(ring, pieces);
  out += cut ? "\"geometry\": {\"type\": \"MultiPolygon\", \"coordinates\": ["
             : "\"geometry\": {\"type\": \"Polygon\", \"coordinates\": [[";
  if (cut) {
    for (const std::vector<LonLat>& piece : pieces) {
      out += &piece == &pieces[0] ? "[[" : ", [[";
      for (const LonLat& p : piece) {
        if (&p != &piece[0]) out += ", ";
        position(out, p, false);
      }
      out += "]]";
    }
    out += "]}";
    return;
  }
  for (const LonLat& p : ring) {
    if (&p != &ring[0]) out += ", ";
    position(out, p);
  }
  out += "]]}";
}

// A line's "geometry" member: from a to b, or its two pieces where it crosses the 180th meridian.
void line(std::string& out, const LonLat& a, const LonLat& b) {
  auto band = [](double lon) { return std::ceil((lon - 180.0) / 360.0); };  // 0 for (-180, 180]
  if (!(band(a.lon) != band(b.lon))) {
    out += "\"geometry\": {\"type\": \"LineString\", \"coordinates\": [";
    position(out, a);
    out += ", ";
    position(out, b);
    out += "]}";
    return;
  }
  const double meridian = 180.0 + 360.0 * std::min(band(a.lon), band(b.lon));
  const double lat = a.lat + (meridian - a.lon) / (b.lon - a.lon) * (b.lat - a.lat);
  const bool westFirst = a.lon < meridian;
  out += "\"geometry\": {\"type\": \"MultiLineString\", \"coordinates\": [[";
  position(out, a);
  out += ", ";
  position(out, {westFirst ? 180.0 : -180.0, lat}, false);
  out += "], [";
  position(out, {westFirst ? -180.0 : 180.0, lat}, false);
  out += ", ";
  position(out, b);
  out += "]]}";
}

}  // namespace

std::string geojsonText(const SourceModel& model, const FileLabels& labels) {
  SharedFigures shared(model);
  return geojsonText(model, labels, shared);
}

std::string geojsonText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared) {
  const Geometry& g = model.geometry;
  const PositionMap& map = shared.map();
  std::string out;
  out.reserve(800000);
  out += "{\"type\": \"FeatureCollection\", \"features\": [\n";
  // Only a fault across the 180th meridian has subfaults to cut there.
  std::array<std::vector<LonLat>, 2> pieces;
  const bool acrossMeridian = cutAtAntimeridian(faultOutline(model, map), pieces);
  for (std::size_t i = 0; i < model.subfaults.size(); ++i) {
    const SubfaultSource& f = model.subfaults[i];
    const Ring outline = acrossMeridian ? subfaultOutline(model, map, f) : Ring{};
    if (acrossMeridian && cutAtAntimeridian(outline, pieces)) {
      out += "{\"type\": \"Feature\", ";
      polygon(out, outline);
      out += ", \"properties\": {";
    } else {
      out += "{\"type\": \"Feature\", \"geometry\": {\"type\": \"Polygon\", \"coordinates\": [[";
      const std::array<SharedFigures::Point, 4> ring = shared.outline(i);
      for (const SharedFigures::Point& p : ring) {
        position(out, p);
        out += ", ";
      }
      position(out, ring[0]);  // the ring closes on its first position
      out += "]]}, \"properties\": {";
    }
    Members p{out};
    p.text("role", "subfault");
    p.integer("w", f.iw);
    p.integer("l", f.il);
    using enum SharedFigures::Figure;
    p.number("slip_m", f.slip, shared.general(i, kSlip));
    const double rake = slipVectorRake(f);
    const std::string_view rakeText = shared.general(i, kSlipVectorRake);
    p.number("rake_deg", rake, rakeText);
    if (std::bit_cast<std::uint64_t>(f.rake) == std::bit_cast<std::uint64_t>(rake)) {
      p.number("report_rake_deg", f.rake, rakeText);  // the slip vector's rake, where s35 > 0 or no slip
    } else {
      p.number("report_rake_deg", f.rake);
    }
    p.number("slip35_m", f.slip35);
    p.number("slip125_m", f.slip125);
    p.number("trup_s", f.ruptureTime, shared.general(i, kRuptureTime));
    p.number("rise_s", f.riseTime, shared.general(i, kRiseTime));
    p.number("moment_Nm", f.moment);
    p.number("distance_km", hypocentralDistance(f));
    if (g.hasDepth) p.number("depth_km", f.depth, shared.general(i, kDepth));
    out += "}},\n";
  }
  // The fault as a whole, so that a GIS draws it without dissolving the subfaults.
  out += "{\"type\": \"Feature\", ";
  polygon(out, faultOutline(model, map));
  out += ", \"properties\": {\"role\": \"fault_outline\"}},\n{\"type\": \"Feature\", ";
  const std::array<LonLat, 2> top = topEdge(model, map);
  line(out, top[0], top[1]);
  out += ", \"properties\": {\"role\": \"top_edge\"}},\n";
  out += "{\"type\": \"Feature\", \"geometry\": {\"type\": \"Point\", \"coordinates\": ";
  position(out, map.at(0.0, 0.0));
  out += "}, \"properties\": {";
  Members p{out};
  p.text("role", "epicentre");
  p.text("name", "epicentre");
  p.text("event", labels.event);
  p.number("m0_Nm", model.summary.moment);
  p.number("mw", model.summary.mw);
  p.number("strike_deg", g.strike);
  p.number("dip_deg", g.dip);
  if (model.rigidity.layered) {
    p.key("rigidity_Pa");
    out += "null";
    p.text("structure", model.rigidity.structureName);
  } else {
    p.number("rigidity_Pa", model.rigidity.constant);
  }
  if (g.hasDepth) p.number("depth_km", g.depth);
  p.text("origin", fileOrigin(labels));
  out += "}}\n]}\n";
  return out;
}

}  // namespace slip::source
