#include "telemetry.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "composite.h"

namespace app {

namespace {

// A numeric column and how the file writes it: fixed decimals, or kSignificant for values
// spanning many orders of magnitude.
constexpr int kSignificant = -1;
struct Column {
  const char* name;
  int decimals;
};
constexpr Column kColumns[] = {
    {"alt", 3},       {"airspeed", 3}, {"vspeed", 3},  {"groundspeed", 3}, {"mass", 3}, {"propellant", 3},
    {"pitch", 3},     {"bank", 3},     {"drag", 3},    {"mach", 4},        {"dynp", 3}, {"density", kSignificant},
    {"main", 4},      {"contact", 0},  {"exhaust", 4}, {"thr0", 4},        {"thr1", 4}, {"thr2", 4},
    {"stackmass", 3},
};
constexpr std::size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];
constexpr std::size_t kThrustersShown = 3;

// Fixed decimals for the values a flight has; exponent form for values far beyond them.
std::string Number(double v, int decimals) {
  char buf[64];
  if (decimals == kSignificant)
    std::snprintf(buf, sizeof buf, "%.6g", v);
  else
    std::snprintf(buf, sizeof buf, std::fabs(v) < 1e15 ? "%.*f" : "%.*e", decimals, v);
  return buf;
}

// The strongest of a vessel's exhausts and particle streams, 0 when it shows none.
double ExhaustLevel(const host::Vessel& v) {
  double level = 0;
  for (const auto& s : v.config.streams) level = std::max(level, s->Level());
  for (const auto& e : v.config.exhausts) level = std::max(level, e.Level());
  return level;
}

}  // namespace

const std::vector<std::string>& TelemetryColumns() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const Column& c : kColumns) n.push_back(c.name);
    return n;
  }();
  return names;
}

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

TelemetryWriter::TelemetryWriter(std::string path)
    : path_(std::move(path)), out_(path_, std::ios::binary | std::ios::trunc) {
  if (!out_) throw host::HostError(host::kExitCantCreate, "cannot write " + path_ + ": " + std::strerror(errno));
  out_ << "t,vessel";
  for (const Column& c : kColumns) out_ << ',' << c.name;
  out_ << '\n';
}

void TelemetryWriter::SampleDue(host::World& world) {
  double t = world.SimTime();
  // sample times are counted, not summed, so they stay on the 0.1 s grid
  if (t < next_ * kInterval - 1e-6) return;
  data_.times.push_back(t);
  for (host::Vessel* v : world.Vessels())
    if (v->iface) Row(t, *v);
  next_ = static_cast<long>(std::floor(t / kInterval + 1e-6)) + 1;
}

void TelemetryWriter::Row(double t, host::Vessel& vessel) {
  const VESSEL& v = *vessel.iface;
  VECTOR3 gs{0, 0, 0};
  v.GetGroundspeedVector(FRAME_HORIZON, gs);
  double thr[kThrustersShown] = {0, 0, 0};
  for (DWORD i = 0; i < std::min<DWORD>(v.GetThrusterCount(), kThrustersShown); ++i)
    thr[i] = v.GetThrusterLevel(v.GetThrusterHandleByIndex(i));
  host::Composite stack;
  host::BuildComposite(vessel, stack);
  const double values[kColumnCount] = {v.GetAltitude(ALTMODE_GROUND),
                                       v.GetAirspeed(),
                                       gs.y,
                                       std::hypot(gs.x, gs.z),
                                       v.GetMass(),
                                       v.GetTotalPropellantMass(),
                                       v.GetPitch() * DEG,
                                       v.GetBank() * DEG,
                                       v.GetDrag(),
                                       v.GetMachNumber(),
                                       v.GetDynPressure(),
                                       v.GetAtmDensity(),
                                       v.GetThrusterGroupLevel(THGROUP_MAIN),
                                       v.GroundContact() ? 1.0 : 0.0,
                                       ExhaustLevel(vessel),
                                       thr[0],
                                       thr[1],
                                       thr[2],
                                       stack.mass};

  std::string row = Number(t, 3) + "," + CsvField(vessel.name);
  for (std::size_t c = 0; c < kColumnCount; ++c) row += "," + Number(values[c], kColumns[c].decimals);
  out_ << row << '\n';

  // a vessel's samples continue its track; a name seen again after a gap starts a new one
  const std::size_t sample = data_.times.size() - 1;
  auto track = std::find_if(data_.tracks.rbegin(), data_.tracks.rend(), [&](const TelemetryTrack& k) {
    return k.vessel == vessel.name && k.first + k.values[0].size() == sample;
  });
  if (track == data_.tracks.rend()) {
    data_.tracks.push_back({vessel.name, vessel.class_name, sample, std::vector<std::vector<double>>(kColumnCount)});
    track = data_.tracks.rbegin();
  }
  for (std::size_t c = 0; c < kColumnCount; ++c) track->values[c].push_back(values[c]);
}

void TelemetryWriter::Finish() {
  out_.close();
  if (!out_) throw host::HostError(host::kExitCantCreate, "cannot write " + path_ + ": write failed");
}

}  // namespace app
