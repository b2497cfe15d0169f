#include "thrust.h"

#include <algorithm>
#include <cmath>

#include "math3.h"

namespace host {

namespace {

// Mass flow at the effective level, kg/s.
double Flow(const ThrusterRecord& th, double level) {
  if (!th.resource || !(th.isp > 0)) return 0;
  double eff = th.resource->efficiency > 0 ? th.resource->efficiency : 1.0;
  return level * th.max_thrust / (th.isp * eff);
}

}  // namespace

double EffectiveLevel(const ThrusterRecord& th) {
  if (!th.resource || !(th.resource->mass > 0)) return 0;
  return std::clamp(th.level + th.nav_level, 0.0, 1.0);
}

double EffectiveThrust(const ThrusterRecord& th) { return th.max_thrust > 0 ? EffectiveLevel(th) * th.max_thrust : 0; }

double SpecificImpulse(const ThrusterRecord& th, double pressure) {
  if (!(th.isp_ref > 0) || !(th.p_ref > 0) || !(pressure > 0)) return th.isp;
  return std::max(0.0, th.isp - (th.isp - th.isp_ref) * pressure / th.p_ref);
}

void AddThrust(const Composite& c, double dt, double pressure, ForceSum& sum) {
  // what each tank is asked for in this step
  for (int i = 0; i < c.count; ++i)
    for (const auto& p : c.members[i].v->config.propellants) p->demand = 0;
  for (int i = 0; i < c.count; ++i)
    for (const auto& th : c.members[i].v->config.thrusters) {
      double level = EffectiveLevel(*th);
      if (level > 0 && th->max_thrust > 0) th->resource->demand += Flow(*th, level) * dt;
    }

  // force and torque, scaled by the share of the step the tank lasts
  for (int i = 0; i < c.count; ++i) {
    const Member& mb = c.members[i];
    for (const auto& th : mb.v->config.thrusters) {
      double level = EffectiveLevel(*th);
      if (!(level > 0) || !(th->max_thrust > 0)) continue;
      const PropellantRecord& tank = *th->resource;
      double share = tank.demand > tank.mass ? tank.mass / tank.demand : 1.0;
      double isp_factor = th->isp > 0 ? SpecificImpulse(*th, pressure) / th->isp : 1.0;
      double thrust = level * th->max_thrust * share * isp_factor;
      double dl = length(th->dir);
      if (!(thrust > 0) || !(dl > 0)) continue;
      VECTOR3 f = Mul(mb.R, th->dir) * (thrust / dl);
      sum.Add(f, mb.pos + Mul(mb.R, th->pos) - c.cg);
      sum.thrust += thrust;
    }
  }

  // the tanks give what was asked, as far as they hold
  for (int i = 0; i < c.count; ++i)
    for (const auto& p : c.members[i].v->config.propellants) {
      if (!(p->demand > 0)) continue;
      double used = std::min(p->demand, p->mass);
      p->mass = std::max(0.0, p->mass - used);
      sum.propellant_used += used;
      p->demand = 0;
    }
}

}  // namespace host
