#include "navmodes.h"

#include <algorithm>
#include <cmath>

#include "body.h"
#include "kinematics.h"
#include "math3.h"
#include "thrust.h"

namespace host {

namespace {

constexpr double kStoppedRate = 1e-4;  // rad/s: kill rotation is done below this on every axis
constexpr double kRateTime = 0.1;      // s: time constant with which rates follow their commands
constexpr double kLevelTime = 0.5;     // s: time constant of the levelling near the target
constexpr int kSweeps = 8;             // passes of the group allocation

// The attitude groups and the axis each turns about (sign of the torque it is meant to give).
struct AxisGroup {
  THGROUP_TYPE type;
  int axis;
  double sign;
};
constexpr AxisGroup kGroups[] = {
    {THGROUP_ATT_PITCHUP, 0, +1},  {THGROUP_ATT_PITCHDOWN, 0, -1}, {THGROUP_ATT_YAWLEFT, 1, +1},
    {THGROUP_ATT_YAWRIGHT, 1, -1}, {THGROUP_ATT_BANKRIGHT, 2, +1}, {THGROUP_ATT_BANKLEFT, 2, -1},
};
constexpr int kGroupCount = sizeof kGroups / sizeof kGroups[0];

double Comp(const VECTOR3& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

// Torque of a group at full level (root axes, about the cg); null when the vessel has none.
const ThrusterGroupRecord* FindGroup(const Vessel& v, THGROUP_TYPE type) {
  for (const auto& g : v.config.groups)
    if (g->type == type) return g.get();
  return nullptr;
}

VECTOR3 GroupTorque(const ThrusterGroupRecord& g, const Composite& c) {
  VECTOR3 tau{0, 0, 0};
  for (const ThrusterRecord* th : g.thrusters) {
    if (!th->resource || !(th->resource->mass > 0) || !(th->max_thrust > 0)) continue;
    double dl = length(th->dir);
    if (!(dl > 0)) continue;
    VECTOR3 f = th->dir * (th->max_thrust / dl);
    tau += crossp(f, th->pos - c.cg);
  }
  return tau;
}

// A rate that turns an angle error toward zero: proportional near the target, and never faster
// than half the axis authority could brake before the target.
double RateCommand(double error, double authority) {
  double e = std::fabs(error);
  double w = std::min(e / kLevelTime, std::sqrt(authority * e));
  return error > 0 ? -w : w;
}

}  // namespace

bool RotationStopped(const Vessel& v) {
  const VECTOR3& w = v.state.kin.omega;
  return std::fabs(w.x) < kStoppedRate && std::fabs(w.y) < kStoppedRate && std::fabs(w.z) < kStoppedRate;
}

void ApplyNavModes(const Composite& c, double dt) {
  for (int i = 0; i < c.count; ++i)
    for (const auto& th : c.members[i].v->config.thrusters) th->nav_level = 0;
  Vessel& v = *c.root;
  bool killrot = v.state.navmode[NAVMODE_KILLROT], hlevel = v.state.navmode[NAVMODE_HLEVEL];
  if ((!killrot && !hlevel) || v.state.landed || !(dt > 0)) return;

  // what each group can do
  const ThrusterGroupRecord* group[kGroupCount];
  VECTOR3 torque[kGroupCount];
  VECTOR3 authority{0, 0, 0};  // smaller of the two directions' angular acceleration, rad/s^2
  VECTOR3 best[2] = {{0, 0, 0}, {0, 0, 0}};
  VECTOR3 inertia{c.inertia.m11, c.inertia.m22, c.inertia.m33};
  for (int g = 0; g < kGroupCount; ++g) {
    group[g] = FindGroup(v, kGroups[g].type);
    torque[g] = group[g] ? GroupTorque(*group[g], c) : VECTOR3{0, 0, 0};
    int ax = kGroups[g].axis;
    double a = kGroups[g].sign * Comp(torque[g], ax) / Comp(inertia, ax);
    VECTOR3& b = best[kGroups[g].sign > 0 ? 0 : 1];
    (ax == 0 ? b.x : ax == 1 ? b.y : b.z) = std::max(0.0, a);
  }
  for (int ax = 0; ax < 3; ++ax) {
    double up = Comp(best[0], ax), down = Comp(best[1], ax);
    double a = up > 0 && down > 0 ? std::min(up, down) : std::max(up, down);
    (ax == 0 ? authority.x : ax == 1 ? authority.y : authority.z) = a;
  }

  // wanted rates: none for kill rotation; for horizon level, pitch and bank toward zero with
  // the frame of the local horizon, which turns as the vessel moves over the body
  const Kinematics& k = v.state.kin;
  VECTOR3 w = k.omega, target{0, 0, 0};
  if (hlevel && !killrot && k.ref) {
    double r2 = dotp(k.rpos, k.rpos);
    VECTOR3 horizon = r2 > 0 ? TMul(k.R, crossp(k.rvel, k.rpos) / r2) : VECTOR3{0, 0, 0};
    target = horizon + VECTOR3{RateCommand(Pitch(v), authority.x), 0, RateCommand(Bank(v), authority.z)};
  }
  double tr = std::max(kRateTime, 2 * dt);
  VECTOR3 alpha = (target - w) / tr;
  VECTOR3 need = Mul(c.inertia, alpha);

  // levels for the groups: non-negative least squares by projected sweeps, so that a group
  // whose thrusters also turn about another axis is balanced by the others
  double level[kGroupCount] = {};
  for (int sweep = 0; sweep < kSweeps; ++sweep) {
    for (int g = 0; g < kGroupCount; ++g) {
      double t2 = dotp(torque[g], torque[g]);
      if (!(t2 > 0)) continue;
      VECTOR3 rest = need;
      for (int h = 0; h < kGroupCount; ++h)
        if (h != g) rest -= torque[h] * level[h];
      level[g] = std::clamp(dotp(rest, torque[g]) / t2, 0.0, 1.0);
    }
  }
  for (int g = 0; g < kGroupCount; ++g)
    if (group[g] && level[g] > 0)
      for (ThrusterRecord* th : group[g]->thrusters) th->nav_level += level[g];
}

}  // namespace host
