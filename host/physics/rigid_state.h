// The motion of a composite as the integrator sees it: its centre of gravity and its attitude.
#pragma once

#include "composite.h"
#include "math3.h"

namespace host {

struct RigidState {
  VECTOR3 r{0, 0, 0};                    // cg relative to the reference body, global axes, m
  VECTOR3 v{0, 0, 0};                    // cg velocity relative to the reference body, global axes, m/s
  MATRIX3 R{1, 0, 0, 0, 1, 0, 0, 0, 1};  // root to global axes
  VECTOR3 w{0, 0, 0};                    // angular velocity, root axes, rad/s (design convention)
};

// From and to the root's kinematics (its origin, not its cg). A point fixed to the root moves
// as p x omega in global axes (design convention).
inline RigidState FromKinematics(const Kinematics& k, const VECTOR3& cg) {
  VECTOR3 c = Mul(k.R, cg);
  return {k.rpos + c, k.rvel + crossp(c, Mul(k.R, k.omega)), k.R, k.omega};
}
inline void ToKinematics(const RigidState& s, const VECTOR3& cg, Kinematics& k) {
  VECTOR3 c = Mul(s.R, cg);
  k.rpos = s.r - c;
  k.rvel = s.v - crossp(c, Mul(s.R, s.w));
  k.R = s.R;
  k.omega = s.w;
}

// Turns the attitude by the rate w over h: dR/dt = -R [w]x.
inline MATRIX3 Rotate(const MATRIX3& R, const VECTOR3& w, double h) {
  double wl = length(w);
  if (!(wl * h > 0)) return R;
  return Orthonormalise(Mul(R, AxisAngle(w / wl, -wl * h)));
}

}  // namespace host
