#include "integrator.h"

#include <cmath>

#include "gravity.h"

namespace host {

MATRIX3 InverseSym3(const MATRIX3& m) {
  double a = m.m22 * m.m33 - m.m23 * m.m32, b = m.m23 * m.m31 - m.m21 * m.m33, c = m.m21 * m.m32 - m.m22 * m.m31;
  double det = m.m11 * a + m.m12 * b + m.m13 * c;
  if (!(std::fabs(det) > 1e-300)) return Identity3();
  double k = 1.0 / det;
  return {a * k, (m.m13 * m.m32 - m.m12 * m.m33) * k, (m.m12 * m.m23 - m.m13 * m.m22) * k,
          b * k, (m.m11 * m.m33 - m.m13 * m.m31) * k, (m.m13 * m.m21 - m.m11 * m.m23) * k,
          c * k, (m.m12 * m.m31 - m.m11 * m.m32) * k, (m.m11 * m.m22 - m.m12 * m.m21) * k};
}

void FreeFlight(const std::vector<Body>& bodies, const Body& ref, double mass, const MATRIX3& inertia,
                const MATRIX3& damping, const ForceSum& sum, const VECTOR3& g0, RigidState& s, double h) {
  // translation: kick, drift, kick
  VECTOR3 a_other = Mul(s.R, sum.force) / mass;
  s.v += (g0 + a_other) * (0.5 * h);
  s.r += s.v * h;
  s.v += (GravityAt(bodies, ref, s.r) + a_other) * (0.5 * h);

  // rotation: the angular momentum in global axes changes only by the torque (R tau); the
  // attitude turns with the rate it gives at mid-step, so a free tumble keeps its momentum
  // exactly; the rotational drag acts implicitly at the end, (I + h D) w1 = I R1^T L
  MATRIX3 Iinv = InverseSym3(inertia);
  VECTOR3 L = Mul(s.R, Mul(inertia, s.w) + sum.torque * h);
  VECTOR3 w_half = Mul(Iinv, TMul(Rotate(s.R, Mul(Iinv, TMul(s.R, L)), 0.5 * h), L));
  s.R = Rotate(s.R, w_half, h);
  MATRIX3 A{inertia.m11 + h * damping.m11, inertia.m12 + h * damping.m12, inertia.m13 + h * damping.m13,
            inertia.m21 + h * damping.m21, inertia.m22 + h * damping.m22, inertia.m23 + h * damping.m23,
            inertia.m31 + h * damping.m31, inertia.m32 + h * damping.m32, inertia.m33 + h * damping.m33};
  s.w = Mul(InverseSym3(A), Mul(inertia, Mul(Iinv, TMul(s.R, L))));
}

}  // namespace host
