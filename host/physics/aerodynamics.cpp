#include "aerodynamics.h"

#include <cmath>

#include "math3.h"

namespace host {

namespace {

// Forces of one vessel in its own axes; vair is its velocity through the air (own axes).
void VesselAerodynamics(Vessel& v, const VECTOR3& vair, double speed, double q, double mach, double reynolds_per_m,
                        VECTOR3& F, VECTOR3& M, VECTOR3& D) {
  F = M = D = {0, 0, 0};
  VECTOR3 flow = vair / speed;  // direction the vessel moves through the air
  if (!v.config.airfoils.empty()) {
    for (const auto& af : v.config.airfoils) {
      if (!af->cf) continue;
      bool vertical = af->align == LIFT_VERTICAL;
      // angle of attack: air meeting the airfoil from below (vertical) or from -x (horizontal)
      double aoa = vertical ? std::atan2(-vair.y, vair.z) : std::atan2(-vair.x, vair.z);
      double cl = 0, cm = 0, cd = 0;
      af->cf(v.iface, aoa, mach, reynolds_per_m * af->chord, af->context, &cl, &cm, &cd);
      if (!std::isfinite(cl) || !std::isfinite(cm) || !std::isfinite(cd)) continue;
      double qS = q * af->area;
      VECTOR3 drag = flow * (-qS * cd);
      // lift: perpendicular to the flow, in the plane of the lift axis and the flow
      VECTOR3 axis = vertical ? VECTOR3{0, 1, 0} : VECTOR3{1, 0, 0};
      VECTOR3 across = axis - flow * dotp(axis, flow);
      double al = length(across);
      VECTOR3 lift = al > 1e-12 ? across * (qS * cl / al) : VECTOR3{0, 0, 0};
      F += drag + lift;
      D += drag;
      M += crossp(drag + lift, af->ref);
      // a positive moment coefficient turns the nose toward the lift axis: +x torque pitches
      // toward +y, -y torque yaws toward +x
      M += (vertical ? VECTOR3{1, 0, 0} : VECTOR3{0, -1, 0}) * (qS * af->chord * cm);
    }
  } else {
    const VesselConfig& cfg = v.config;
    double cda = std::fabs(flow.z) * (flow.z > 0 ? cfg.cw_z_pos : cfg.cw_z_neg) * cfg.cross_sections.z +
                 std::fabs(flow.x) * cfg.cw_x * cfg.cross_sections.x +
                 std::fabs(flow.y) * cfg.cw_y * cfg.cross_sections.y;
    D = flow * (-q * cda);
    F = D;
  }
}

}  // namespace

void AddAerodynamics(const Composite& c, const AtmosphereState& air, const VECTOR3& vair_root, ForceSum& sum) {
  double speed = length(vair_root);
  bool in_air = air.density > 0 && speed > 0;
  double q = in_air ? 0.5 * air.density * speed * speed : 0;
  double mach = in_air && air.speed_of_sound > 0 ? speed / air.speed_of_sound : 0;
  double re_per_m = in_air && air.viscosity > 0 ? air.density * speed / air.viscosity : 0;
  for (int i = 0; i < c.count; ++i) {
    const Member& mb = c.members[i];
    mb.v->state.drag = 0;
    if (!in_air) continue;
    VECTOR3 F, M, D;
    VesselAerodynamics(*mb.v, TMul(mb.R, vair_root), speed, q, mach, re_per_m, F, M, D);
    mb.v->state.drag = length(D);
    VECTOR3 F_root = Mul(mb.R, F);
    // the member's moment about its own origin, plus its force about the composite's cg
    sum.force += F_root;
    sum.torque += Mul(mb.R, M) + crossp(F_root, mb.pos - c.cg);
  }
}

MATRIX3 RotationalDamping(const Composite& c, const AtmosphereState& air, double airspeed, const VECTOR3& omega) {
  MATRIX3 D{0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (!(air.density > 0)) return D;
  double w = length(omega);
  for (int i = 0; i < c.count; ++i) {
    const Member& mb = c.members[i];
    const VesselConfig& cfg = mb.v->config;
    double s = cfg.size, s4 = s * s * s * s;
    double k = 0.5 * air.density * (airspeed + s * w) * s4;
    // negative coefficients would feed the rotation, not damp it
    VECTOR3 d{std::fmax(cfg.rot_drag.x, 0.0) * k, std::fmax(cfg.rot_drag.y, 0.0) * k,
              std::fmax(cfg.rot_drag.z, 0.0) * k};
    MATRIX3 Dm = Mul(Mul(mb.R, MATRIX3{d.x, 0, 0, 0, d.y, 0, 0, 0, d.z}), Transpose(mb.R));
    D = {D.m11 + Dm.m11, D.m12 + Dm.m12, D.m13 + Dm.m13, D.m21 + Dm.m21, D.m22 + Dm.m22,
         D.m23 + Dm.m23, D.m31 + Dm.m31, D.m32 + Dm.m32, D.m33 + Dm.m33};
  }
  return D;
}

}  // namespace host
