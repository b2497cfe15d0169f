#include "telemetry.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace app {

namespace {

constexpr const char* kHeader =
    "t,vessel,alt,airspeed,vspeed,groundspeed,mass,propellant,pitch,bank,drag,mach,dynp,density,main,contact,"
    "exhaust";

// Fixed decimals for the values a flight has; exponent form for values far beyond them.
std::string Number(double v, int decimals) {
  char buf[64];
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
  out_ << kHeader << '\n';
}

void TelemetryWriter::SampleDue(host::World& world) {
  double t = world.SimTime();
  // sample times are counted, not summed, so they stay on the 0.1 s grid
  if (t < next_ * kInterval - 1e-6) return;
  for (host::Vessel* v : world.Vessels())
    if (v->iface) Row(t, *v);
  next_ = static_cast<long>(std::floor(t / kInterval + 1e-6)) + 1;
}

void TelemetryWriter::Row(double t, host::Vessel& vessel) {
  const VESSEL& v = *vessel.iface;
  VECTOR3 gs{0, 0, 0};
  v.GetGroundspeedVector(FRAME_HORIZON, gs);
  std::string row = Number(t, 3) + "," + CsvField(vessel.name);
  for (double x : {v.GetAltitude(ALTMODE_GROUND), v.GetAirspeed(), gs.y, std::hypot(gs.x, gs.z), v.GetMass(),
                   v.GetTotalPropellantMass(), v.GetPitch() * DEG, v.GetBank() * DEG, v.GetDrag()})
    row += "," + Number(x, 3);
  row += "," + Number(v.GetMachNumber(), 4) + "," + Number(v.GetDynPressure(), 3);
  char density[32];
  std::snprintf(density, sizeof density, ",%.6g", v.GetAtmDensity());
  row += density;
  row += "," + Number(v.GetThrusterGroupLevel(THGROUP_MAIN), 4) + (v.GroundContact() ? ",1," : ",0,");
  row += Number(ExhaustLevel(vessel), 4) + "\n";
  out_ << row;
}

void TelemetryWriter::Finish() {
  out_.close();
  if (!out_) throw host::HostError(host::kExitCantCreate, "cannot write " + path_ + ": write failed");
}

}  // namespace app
