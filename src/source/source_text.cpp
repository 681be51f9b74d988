#include "source/source_text.h"

#include <vector>

#include "source/exchange_text.h"
#include "text/text.h"

namespace slip::source {
namespace {

std::string number(double v) { return format("%.9g", v); }

std::string jsonString(std::string_view text) {
  std::string out;
  appendJsonString(out, text);
  return out;
}

// One quantity: its line of the summary, and its JSON member.
struct Item {
  std::string key;   // JSON name
  std::string line;  // "NAME VALUE UNIT (NOTE)"
  std::string json;  // the JSON value
};

std::string origin(bool given, const char* option) {
  return given ? format("given by %s", option) : format("derived from the model; %s overrides", option);
}

const char* frameName(bool ellipsoidal) { return ellipsoidal ? "WGS84" : "spherical"; }

}  // namespace

std::string derivedDip(const Geometry& g) {
  return format("%.2f deg +- %.2f (derived in the %s frame, whose km along strike match a1(1)'s: %.4f per km, "
                "against %.4f in the %s frame, which gives %.2f; --dip overrides)",
                g.dip, g.dipUncertainty, frameName(g.ellipsoidal), g.alongStrikeScale, g.otherScale,
                frameName(!g.ellipsoidal), g.otherDip);
}

namespace {

std::string rigidityNote(const Rigidity& r) {
  // SRF carries the rigidity as DEN and VS, which its readers take as mu = DEN VS^2 / 10 (Pa).
  if (r.layered) {
    return format("mu = rho Vs^2 of the layer holding each subfault's depth, %zu layers of structure %s; "
                  "SRF gives each point its layer's DEN and VS",
                  r.layers.size(), r.structureName.c_str());
  }
  return r.constant == kDefaultRigidity
             ? "constant, the default; --rigidity PA or --structure FILE overrides; SRF gives it as DEN 2.7 and VS, "
               "mu = DEN VS^2 / 10"
             : "constant, given by --rigidity; SRF gives it as DEN 2.7 and VS, mu = DEN VS^2 / 10";
}

std::string onsetNote(const Timing& t) {
  // SRF's TINIT is that start moved on past the samples before the subfault's slip.
  return t.onset == Onset::kRuptureTime
             ? "each subfault's samples start at its rupture time a2(5) (SRF's TINIT: at its first sample that "
               "slips); --onset origin starts them at 0"
             : "every subfault's samples start at 0 (--onset origin), not at its rupture time (SRF's TINIT: at its "
               "first sample that slips)";
}

std::vector<Item> items(const SourceModel& m, std::string_view name) {
  const Geometry& g = m.geometry;
  const SourceSummary& s = m.summary;
  std::vector<Item> out;
  auto add = [&](std::string key, std::string line, std::string json) {
    out.push_back({std::move(key), std::move(line), std::move(json)});
  };
  add("model", "model " + std::string(name), jsonString(name));
  add("strike_deg", format("strike %.2f deg (%s)", g.strike, origin(g.strikeGiven, "--strike").c_str()),
      number(g.strike));
  add("dip_deg", g.dipGiven ? format("dip %.2f deg (given by --dip)", g.dip) : "dip " + derivedDip(g), number(g.dip));
  add("dip_uncertainty_deg", "", number(g.dipUncertainty));
  add("strike_uncertainty_deg", "", number(g.strikeUncertainty));
  add("position_frame", "", jsonString(frameName(g.ellipsoidal)));
  add("dx_km", format("Dx %.4g km (along strike; %s)", g.dx, origin(g.dxGiven, "--dx").c_str()), number(g.dx));
  add("dz_km", format("Dz %.4g km (down dip; %s)", g.dz, origin(g.dzGiven, "--dz").c_str()), number(g.dz));
  add("fit_residual_km",
      format("fit_residual %.3f km (the largest distance of a position from the fitted plane, W%2d L%2d)",
             g.largestResidual, g.residualIw, g.residualIl),
      number(g.largestResidual));
  add("epicentre_lon_deg", format("epicentre_lon %.5f deg (the position fit at a1(1) = a1(2) = 0)", g.epicentreLon),
      number(g.epicentreLon));
  add("epicentre_lat_deg", format("epicentre_lat %.5f deg", g.epicentreLat), number(g.epicentreLat));
  if (g.hasDepth) {
    add("depth_km", format("depth %g km (the hypocentre's, given by --depth)", g.depth), number(g.depth));
    add("depth_range_km", format("depth_range %.3f to %.3f km (the subfaults' centres)", s.minDepth, s.maxDepth),
        "[" + number(s.minDepth) + ", " + number(s.maxDepth) + "]");
  } else {
    add("depth_km", "depth not given (--depth KM; the moment does not need it)", "null");
  }
  add("rigidity_pa",
      m.rigidity.layered ? format("rigidity layered (%s)", rigidityNote(m.rigidity).c_str())
                         : format("rigidity %.3e Pa (%s)", m.rigidity.constant, rigidityNote(m.rigidity).c_str()),
      m.rigidity.layered ? "null" : number(m.rigidity.constant));
  if (m.rigidity.layered) add("structure", "", jsonString(m.rigidity.structureName));
  add("area_m2", format("area %.6g m^2 (one subfault, Dx Dz)", s.area), number(s.area));
  add("m0_nm", format("M0 %.6g N m (sum of rigidity x area x slip)", s.moment), number(s.moment));
  add("mw", format("Mw %.2f (IASPEI: 2/3 (log10 M0 - 9.1), M0 in N m)", s.mw), number(s.mw));
  add("mw_hanks_kanamori", format("Mw %.2f (Hanks-Kanamori: 2/3 log10(M0 in dyne cm) - 10.7)", s.mwHanksKanamori),
      number(s.mwHanksKanamori));
  add("dt_s",
      m.timing.dt == kDefaultDt
          ? format("dt %g s (slip-rate sample interval, %s)", m.timing.dt,
                   m.timing.dtGiven ? "given by --dt" : "the default; --dt overrides")
          : format("dt %g s (slip-rate sample interval, given by --dt; every slip is sum v dt, %g times the "
                   "report's, which takes 0.5 s)",
                   m.timing.dt, m.timing.dt / kDefaultDt),
      number(m.timing.dt));
  add("onset", "onset " + onsetNote(m.timing),
      jsonString(m.timing.onset == Onset::kRuptureTime ? "rupture-time" : "origin"));
  add("released_moment_nm",
      format("released_moment %.6g N m (the moment-rate function's integral, %.6f M0: M0 when every subfault "
             "keeps its rake; %s)",
             s.releasedMoment, s.releasedMoment / s.moment,
             s.rakeVaries ? "larger here, as rakes change during slip" : "no rake changes during slip here"),
      number(s.releasedMoment));
  add("rake_varies", "", s.rakeVaries ? "true" : "false");
  add("peak_moment_rate_nm_s", format("peak_moment_rate %.6g N m/s (in the bin centred at %g s)", s.peakRate, s.peakTime),
      number(s.peakRate));
  add("peak_time_s", "", number(s.peakTime));
  add("centroid_time_s", format("centroid_time %.3f s", s.centroidTime), number(s.centroidTime));
  add("t5_s", format("T5 %.3f s (5 %% of the released moment)", s.t5), number(s.t5));
  add("t95_s", format("T95 %.3f s (95 %% of the released moment)", s.t95), number(s.t95));
  add("duration_s", format("duration %.3f s (T95 - T5)", s.duration), number(s.duration));
  add("bins", format("bins %zu of %g s from t = 0", m.momentRate.rate.size(), m.momentRate.dt),
      format("%zu", m.momentRate.rate.size()));
  return out;
}

}  // namespace

std::string summaryText(const SourceModel& model, std::string_view modelName) {
  std::string out;
  for (const Item& item : items(model, modelName)) {
    if (!item.line.empty()) out += item.line + "\n";
  }
  return out;
}

std::string summaryJson(const SourceModel& model, std::string_view modelName) {
  std::string out = "{";
  const char* sep = "\n  ";
  for (const Item& item : items(model, modelName)) {
    out += sep + jsonString(item.key) + ": " + item.json;
    sep = ",\n  ";
  }
  return out + "\n}\n";
}

std::string momentRateTable(const SourceModel& model, std::string_view modelName) {
  const Geometry& g = model.geometry;
  const SourceSummary& s = model.summary;
  std::string out = "# moment-rate function of " + std::string(modelName) + "\n";
  out += format("# bins of dt = %g s from t = 0, each the mean rate over [t - dt/2, t + dt/2)\n", model.timing.dt);
  out += "# onset: " + onsetNote(model.timing) + "\n";
  out += "# rigidity: " +
         (model.rigidity.layered ? rigidityNote(model.rigidity)
                                 : format("%.4g Pa, ", model.rigidity.constant) + rigidityNote(model.rigidity)) +
         "\n";
  out += format("# geometry: strike %.2f deg (%s), dip %.2f deg (%s), Dx %.4g km (%s), Dz %.4g km (%s)\n", g.strike,
                g.strikeGiven ? "given" : "derived", g.dip, g.dipGiven ? "given" : "derived", g.dx,
                g.dxGiven ? "given" : "derived", g.dz, g.dzGiven ? "given" : "derived");
  out += "# M0 " + number(s.moment) + " N m\n";
  out += format("# Mw %.2f (IASPEI: 2/3 (log10 M0 - 9.1))\n", s.mw);
  out += "# released moment " + number(s.releasedMoment) + " N m\n";
  out += "# t_s moment_rate_Nm_s\n";
  for (std::size_t j = 0; j < model.momentRate.rate.size(); ++j) {
    out += number(model.momentRate.binCentre(j)) + " " + number(model.momentRate.rate[j]) + "\n";
  }
  return out;
}

}  // namespace slip::source
