#include "report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "outputs.h"
#include "report_assets.h"

namespace app {

namespace {

// The telemetry the page plots, each to the step it is shown at. Smaller steps would only
// make the page bigger: a value is sent as the whole number of steps it changed by since
// the previous sample, which is short for smooth data and 0 where it holds.
// "carried" is the mass a vessel carries attached below it: 0, and so left out, for most.
struct PlottedColumn {
  const char* name;
  double step;
  const char* from;             // the telemetry column
  const char* minus = nullptr;  // less this one
};
constexpr PlottedColumn kPlotted[] = {
    {"alt", 0.1, "alt"},
    {"airspeed", 0.1, "airspeed"},
    {"vspeed", 0.01, "vspeed"},
    {"mass", 0.1, "mass"},
    {"carried", 0.1, "stackmass", "mass"},
    {"propellant", 0.01, "propellant"},
    {"drag", 1.0, "drag"},
    {"thr0", 0.001, "thr0"},
    {"thr1", 0.001, "thr1"},
    {"thr2", 0.001, "thr2"},
};
constexpr double kTimeStep = 0.01;  // s

// Values as whole steps, each the change since the last finite value; a value that is not
// finite, or too large to count in steps, is null. `zero` tells whether every value was 0.
std::string Steps(const std::vector<double>& values, double step, bool& zero) {
  std::string s = "[";
  long long last = 0;
  zero = true;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) s += ',';
    double q = values[i] / step;
    if (!std::isfinite(q) || std::fabs(q) > 1e15) {
      s += "null";
      zero = false;
      continue;
    }
    long long n = std::llround(q);
    s += std::to_string(n - last);
    zero = zero && n == 0;
    last = n;
  }
  return s + "]";
}

std::string HtmlText(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

void HudKeeper::SampleDue(host::World& world) {
  if (world.SimTime() < next_ * kInterval - 1e-6) return;
  Sample(world);
  next_ = static_cast<long>(std::floor(world.SimTime() / kInterval + 1e-6)) + 1;
}

void HudKeeper::Sample(host::World& world) {
  host::Vessel* focus = world.Focus();
  if (!focus) return;
  std::vector<host::HudText> texts = world.DrawHud(*focus);
  if (texts.empty()) return;
  auto shot = std::find_if(shots_.begin(), shots_.end(), [&](const HudShot& s) { return s.vessel == focus->name; });
  if (shot == shots_.end()) shot = shots_.insert(shots_.end(), HudShot{focus->name, 0, {}});
  shot->t = world.SimTime();
  shot->texts = std::move(texts);
}

std::string ReportData(const ReportInput& in) {
  std::string out = "{\"scenario\":";
  host::AppendJsonString(out, in.scenario);
  out += ",\"end\":";
  host::AppendJsonNumber(out, in.end_time);
  out += ",\"summary\":";
  host::AppendJsonString(out, in.summary);

  out += ",\"steps\":{\"t\":";
  host::AppendJsonNumber(out, kTimeStep);
  for (const PlottedColumn& c : kPlotted) {
    out += ',';
    host::AppendJsonString(out, c.name);
    out += ':';
    host::AppendJsonNumber(out, c.step);
  }
  bool zero = false;
  out += "},\"t\":" + Steps(in.telemetry.times, kTimeStep, zero);

  // tracks: a vessel's samples from sample index `first` on; all-zero columns left out
  const std::vector<std::string>& names = TelemetryColumns();
  out += ",\"tracks\":[";
  for (std::size_t k = 0; k < in.telemetry.tracks.size(); ++k) {
    const TelemetryTrack& track = in.telemetry.tracks[k];
    if (k) out += ',';
    out += "{\"vessel\":";
    host::AppendJsonString(out, track.vessel);
    out += ",\"class\":";
    host::AppendJsonString(out, track.class_name);
    out += ",\"first\":" + std::to_string(track.first);
    out += ",\"n\":" + std::to_string(track.values.empty() ? 0 : track.values[0].size());
    out += ",\"columns\":{";
    bool first = true;
    auto column = [&](const char* name) -> const std::vector<double>* {
      for (std::size_t i = 0; i < names.size() && i < track.values.size(); ++i)
        if (names[i] == name) return &track.values[i];
      return nullptr;
    };
    for (const PlottedColumn& c : kPlotted) {
      const std::vector<double>* from = column(c.from);
      const std::vector<double>* minus = c.minus ? column(c.minus) : nullptr;
      if (!from || (c.minus && !minus)) continue;
      std::vector<double> values = *from;
      if (minus)
        for (std::size_t i = 0; i < values.size() && i < minus->size(); ++i) values[i] -= (*minus)[i];
      std::string steps = Steps(values, c.step, zero);
      if (zero) continue;
      out += first ? "" : ",";
      host::AppendJsonString(out, c.name);
      out += ':' + steps;
      first = false;
    }
    out += "}}";
  }

  out += "],\"events\":[";
  for (std::size_t i = 0; i < in.events.size(); ++i) {
    if (i) out += ',';
    out += host::EventToJson(in.events[i]);
  }

  out += "],\"focus\":";
  host::AppendJsonString(out, in.focus);
  out += ",\"huds\":[";
  for (std::size_t k = 0; k < in.huds.size(); ++k) {
    const HudShot& shot = in.huds[k];
    out += k ? ",{\"vessel\":" : "{\"vessel\":";
    host::AppendJsonString(out, shot.vessel);
    out += ",\"t\":";
    host::AppendJsonNumber(out, shot.t);
    out += ",\"texts\":[";
    for (std::size_t i = 0; i < shot.texts.size(); ++i) {
      const host::HudText& h = shot.texts[i];
      char head[64];
      std::snprintf(head, sizeof head, "%s[%d,%d,\"#%06x\",", i ? "," : "", h.x, h.y, HudRgb(h.colour));
      out += head;
      host::AppendJsonString(out, h.text);
      out += ']';
    }
    out += "]}";
  }
  out += "]}";

  // '<' only occurs inside strings, where \u003c reads the same
  std::string safe;
  safe.reserve(out.size());
  for (char c : out) {
    if (c == '<')
      safe += "\\u003c";
    else
      safe += c;
  }
  return safe;
}

std::string ReportHtml(const ReportInput& in) {
  const std::map<std::string_view, std::string> slots = {
      {"TITLE", HtmlText(in.scenario)},
      {"STYLE", std::string(kReportStyle)},
      {"DATA", ReportData(in)},
      {"SCRIPT", std::string(kReportScript)},
  };
  // the slots are filled in one pass over the template, never inside what was filled in
  std::string page;
  std::string_view rest = kReportPage;
  for (;;) {
    std::size_t open = rest.find("{{");
    std::size_t close = open == std::string_view::npos ? open : rest.find("}}", open);
    if (close == std::string_view::npos) break;
    auto slot = slots.find(rest.substr(open + 2, close - open - 2));
    page += rest.substr(0, open);
    page += slot != slots.end() ? slot->second : std::string(rest.substr(open, close + 2 - open));
    rest.remove_prefix(close + 2);
  }
  page += rest;
  return page;
}

}  // namespace app
