#include "summary.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "math3.h"
#include "surface.h"

namespace app {

namespace {

constexpr double kStandardGravity = 9.80665;  // m/s^2, for loads in g
constexpr double kBreakUpDrag = 132000;       // N, the capsule's limit

std::string Format(const char* fmt, ...) {
  char buf[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

std::string At(const Moment& m) { return Format("at t = %.2f s, %.0f m up, %.1f m/s", m.t, m.alt, m.speed); }

host::Vessel* FirstOfClass(host::World& world, const char* cls) {
  for (host::Vessel* v : world.Vessels())
    if (v->iface && v->class_name == cls) return v;
  return nullptr;
}

std::string Timeline(const MissionWatch& watch) {
  std::string out = Format("  %-24s %-16s %9s %10s %10s\n", "Timeline", "vessel", "t (s)", "alt (m)", "v (m/s)");
  for (const Moment& m : watch.Timeline())
    out += Format("  %-24s %-16s %9.2f %10.1f %10.1f\n", m.what.c_str(), m.vessel.c_str(), m.t, m.alt, m.speed);
  std::string missing;
  for (const std::string& what : watch.Missing()) missing += (missing.empty() ? "" : ", ") + what;
  if (!missing.empty()) out += "  Did not happen: " + missing + "\n";
  return out;
}

std::string Capsule(const MissionWatch& watch) {
  const Peak& decel = watch.PeakDeceleration();
  const Peak& drag = watch.PeakDrag();
  if (drag.value <= 0) return "  Capsule: no aerodynamic load\n";
  return Format("  Capsule: peak deceleration %.1f m/s^2 (%.2f g) %s\n", decel.value, decel.value / kStandardGravity,
                At(decel.when).c_str()) +
         Format("           peak drag %.1f kN %s (break-up above %.0f kN)\n", drag.value / 1000, At(drag.when).c_str(),
                kBreakUpDrag / 1000);
}

std::string Lander(const MissionWatch& watch, host::World& world) {
  host::Vessel* lander = FirstOfClass(world, MissionWatch::kLanderClass);
  if (!lander) return "  Lander: not there at the end\n";
  const VESSEL& v = *lander->iface;
  std::string out = "  Lander: ";
  double vspeed = 0, hspeed = 0;
  if (watch.LanderTouchdown(vspeed, hspeed))
    out += Format("touchdown at %.2f m/s down and %.2f m/s across; ", -vspeed, hspeed);
  else
    out += "no touchdown; ";
  double capacity = 0;
  for (DWORD i = 0; i < v.GetPropellantCount(); ++i)
    capacity += v.GetPropellantMaxMass(v.GetPropellantHandleByIndex(i));
  out += Format("propellant left %.1f of %.1f kg", v.GetTotalPropellantMass(), capacity);
  if (host::Vessel* capsule = FirstOfClass(world, MissionWatch::kCapsuleClass)) {
    VECTOR3 a, b;
    v.GetGlobalPos(a);
    capsule->iface->GetGlobalPos(b);
    out += Format(";\n          %.0f m from the capsule", length(a - b));
  }
  return out + "\n";
}

std::string Ends(const MissionWatch& watch, host::World& world) {
  std::string out = "  Where they ended:\n";
  for (host::Vessel* v : world.Vessels()) {
    if (!v->iface) continue;
    std::string where = "far from any body";
    if (v->state.kin.ref && v->state.kin.ref->soi > 0) {
      double lon = 0, lat = 0, heading = 0;
      host::SurfaceCoordinates(*v, lon, lat, heading);
      lat *= DEG;
      lon *= DEG;
      const char* status = watch.Crashed(v->name) ? "crashed  " : v->state.landed ? "landed   " : "in flight";
      where = Format("%s %8.4f %c %9.4f %c", status, std::fabs(lat), lat < 0 ? 'S' : 'N', std::fabs(lon),
                     lon < 0 ? 'W' : 'E');
      if (!v->state.landed) where += Format(", %.0f m up", v->iface->GetAltitude(ALTMODE_GROUND));
    }
    out += Format("    %-16s %s on %s\n", v->name.c_str(), where.c_str(),
                  v->state.kin.ref ? v->state.kin.ref->name.c_str() : "-");
  }
  return out;
}

}  // namespace

std::string FlightSummary(const MissionWatch& watch, host::World& world) {
  return "\nFlight summary\n" + Timeline(watch) + Capsule(watch) + Lander(watch, world) + Ends(watch, world);
}

}  // namespace app
