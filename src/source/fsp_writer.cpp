#include "source/fsp_writer.h"

#include <cmath>
#include <numbers>

#include "science/outline.h"
#include "science/rise_time.h"
#include "source/source_text.h"

namespace slip::source {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr const char* kRule =
    "% ------------------------------------------------------------------------------------------------------\n";

// Builds '%' lines of "KEY = value UNIT" pairs as the database's files lay
// them out: one blank after the label, three between pairs.
struct Header {
  std::string& out;
  const char* separator = "";
  void start(const char* label) {
    out += label;
    separator = " ";
  }
  void key(const char* name) {
    out += separator;
    out += name;
    out += " = ";
    separator = "   ";
  }
  void general(const char* name, double value, const char* unit = "") {
    key(name);
    appendGeneral(out, value, 9);
    out += unit;
  }
  void text(const char* name, const char* value) {
    key(name);
    out += value;
  }
  void end(const char* comment = "") {
    if (*comment != '\0') {
      out += "   ";
      out += comment;
    }
    out += '\n';
  }
};

// The next column, right-aligned in `width` characters.
void column(std::string& out, std::size_t width, std::string_view cell) {
  out.append(cell.size() < width ? width - cell.size() : 1, ' ');
  out += cell;
}

void structure(std::string& out, const SourceModel& model) {
  out += "%\n% VELOCITY-DENSITY STRUCTURE\n";
  const Rigidity& r = model.rigidity;
  if (r.layered) {
    out += "% No. of layers = ";
    appendInteger(out, static_cast<long long>(r.layers.size()));
    out += "\n%\n% DEPTH P-VEL S-VEL DENS\n% [km] [km/s] [km/s] [g/cm^3]\n";
    for (const Layer& layer : r.layers) {
      out += "% ";
      appendGeneral(out, layer.top, 9);
      out += ' ';
      appendGeneral(out, layer.vp, 9);
      out += ' ';
      appendGeneral(out, layer.vs, 9);
      out += ' ';
      appendGeneral(out, layer.density, 9);
      out += '\n';
    }
    out += "% (from the structure file " + oneLine(r.structureName) + "; DEPTH is the layer's top)\n";
    return;
  }
  // One layer of real values: DENS 2.7 and S-VEL giving the rigidity, P-VEL that of a Poisson solid.
  const Medium m = mediumAt(model, model.subfaults.front());
  out += "% No. of layers = 1\n%\n% DEPTH P-VEL S-VEL DENS\n% [km] [km/s] [km/s] [g/cm^3]\n% 0 ";
  appendGeneral(out, std::sqrt(3.0) * m.vs, 9);
  out += ' ';
  appendGeneral(out, m.vs, 9);
  out += ' ';
  appendGeneral(out, m.density, 9);
  out += "\n% (a constant rigidity of ";
  appendGeneral(out, r.constant, 9);
  out += " Pa = 1000 DENS x (1000 S-VEL)^2 with DENS 2.7; P-VEL = sqrt(3) S-VEL, a Poisson solid)\n";
}

}  // namespace

std::string fspText(const SourceModel& model, const FileLabels& labels) {
  SharedFigures shared(model);
  return fspText(model, labels, shared);
}

std::string fspText(const SourceModel& model, const FileLabels& labels, SharedFigures& shared) {
  const Geometry& g = model.geometry;
  const SourceSummary& s = model.summary;
  const PositionMap& map = shared.map();
  const PlaneExtent extent = planeExtent(model);
  const RuptureAverages averages = ruptureAverages(model);
  const LonLat hypocentre = map.at(0.0, 0.0);

  std::string out;
  out.reserve(200000);
  Header h{out};
  out += "% ----------------------------------  FINITE-SOURCE RUPTURE MODEL  --------------------------------\n%\n";
  const std::string event = oneLine(labels.event);
  out += "% Event : " + event + "   [written by " + fileOrigin(labels) + "]\n% EventTAG: " + event + "\n%\n";
  h.start("% Loc  :");
  h.key("LAT");
  appendFixed(out, hypocentre.lat, 6);
  h.key("LON");
  appendFixed(out, normalLongitude(hypocentre.lon), 6);
  h.general("DEP", g.depth);
  h.end();
  h.start("% Size :");
  h.general("LEN", kColumns * g.dx, " km");
  h.general("WID", kRows * g.dz, " km");
  h.key("Mw");
  appendFixed(out, s.mw, 2);
  h.key("Mo");
  appendScientific(out, s.moment, 9);
  out += " Nm";
  h.end();
  h.start("% Mech :");
  h.general("STRK", g.strike);
  h.general("DIP", g.dip);
  if (averages.hasRake) {
    h.general("RAKE", averages.rake);
  } else {
    h.text("RAKE", "999");
  }
  h.general("Htop", g.depth + extent.yTop * std::sin(g.dip * kDegree), " km");
  h.end();
  h.start("% Rupt :");
  h.general("HypX", -extent.xStart, " km");
  h.general("HypZ", -extent.yTop, " km");
  if (averages.hasRiseTime) {
    h.general("avTr", averages.riseTime, " s");
  } else {
    h.text("avTr", "999 s");
  }
  if (averages.hasRuptureVelocity) {
    h.general("avVr", averages.ruptureVelocity, " km/s");
  } else {
    h.text("avVr", "999 km/s");
  }
  h.end();
  out += "%\n% ----------------------------------  inversion-related parameters  --------------------------------\n%\n";
  h.start("% Invs :");
  h.general("Nx", kColumns);
  h.general("Nz", kRows);
  h.text("Fmin", "999 Hz");
  h.text("Fmax", "999 Hz");
  h.end();
  h.start("% Invs :");
  h.general("Dx", g.dx, " km");
  h.general("Dz", g.dz, " km");
  h.end();
  h.start("% Invs :");
  h.text("Ntw", "999");
  h.text("Nsg", "1");
  h.end("(# of time-windows,# of fault segments)");
  h.start("% Invs :");
  h.text("LEN", "999 s");
  h.text("SHF", "999 s");
  h.end("(time-window length and time-shift)");
  out += "% SVF  : 999   (type of slip-velocity function used)\n";
  out += "%\n% Data : SGM TELE TRIL LEVEL GPS INSAR SURF OTHER\n";
  out += "% Data : 999 999 999 999 999 999 999 999\n";
  out += "% PHImx: 999 999 999 999 999 999 999 999\n";
  out += "% Rmin : 999 999 999 999 999 999 999 999\n";
  out += "%\n";
  out += kRule;
  structure(out, model);
  out += "%\n";
  out += kRule;
  out += "% SOURCE MODEL PARAMETERS\n";
  out += "% Nsbfs = ";
  appendInteger(out, kSubfaults);
  out += " subfaults\n";
  out += "% X,Y,Z coordinates in km; SLIP in m; RAKE in deg; TRUP and RISE in s; SF_MOMENT in Nm\n";
  out += "% Coordinates are given for the center of each subfault\n";
  out += "% Origin of local coordinate system at epicenter: X (EW) = 0, Y (NS) = 0\n";
  out += "% RAKE: the direction of the slip vector, 35 + atan2(slip along 125, slip along 35) deg\n";
  out += "% TRUP: the rupture time a2(5) of the model; RISE: how long its slip rate stays above 10 % of its peak\n";
  out += "% X, Y: the subfault's place on the fault plane through the map that draws the outlines, 0 0 at the hypocentre (LAT, LON above);\n";
  out += "% LAT, LON: the model's own position of the subfault\n";
  if (!g.dipGiven) out += "% DIP " + derivedDip(g) + "\n";
  out += kRule;
  out += "%         LAT          LON       X==EW       Y==NS          Z            SLIP            RAKE"
         "            TRUP            RISE         SF_MOMENT\n";
  out += kRule;
  std::string cell;
  auto fixed4 = [&cell](double v) -> std::string_view {
    cell.clear();
    appendFixed(cell, v, 4);
    return cell;
  };
  for (std::size_t i = 0; i < model.subfaults.size(); ++i) {
    const SubfaultSource& f = model.subfaults[i];
    const SharedFigures::Point position = shared.position(i);
    column(out, 13, position.lat);
    column(out, 13, position.lon);
    column(out, 12, fixed4(map.ae * f.x + map.be * f.y));
    column(out, 12, fixed4(map.an * f.x + map.bn * f.y));
    column(out, 11, fixed4(f.depth));
    column(out, 16, shared.general(i, SharedFigures::kSlip));
    column(out, 16, shared.general(i, SharedFigures::kSlipVectorRake));
    column(out, 16, shared.general(i, SharedFigures::kRuptureTime));
    column(out, 16, shared.general(i, SharedFigures::kRiseTime));
    cell.clear();
    appendScientific(cell, f.moment, 9);
    column(out, 18, cell);
    out += '\n';
  }
  return out;
}

}  // namespace slip::source
