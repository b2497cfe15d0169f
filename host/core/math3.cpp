#include "math3.h"

#include <cmath>

namespace host {

MATRIX3 AxisAngle(const VECTOR3 &a, double t) {
  double c = std::cos(t), s = std::sin(t), k = 1.0 - c;
  return {
      c + a.x * a.x * k,       a.x * a.y * k - a.z * s, a.x * a.z * k + a.y * s,
      a.y * a.x * k + a.z * s, c + a.y * a.y * k,       a.y * a.z * k - a.x * s,
      a.z * a.x * k - a.y * s, a.z * a.y * k + a.x * s, c + a.z * a.z * k};
}

MATRIX3 MatrixFromAngles(const VECTOR3 &r) {
  return Mul(Mul(AxisAngle({1, 0, 0}, r.x), AxisAngle({0, 1, 0}, r.y)),
             AxisAngle({0, 0, 1}, r.z));
}

VECTOR3 AnglesFromMatrix(const MATRIX3 &R) {
  // R = Rx(a) Ry(b) Rz(g): m13 = sin b, m23 = -sin a cos b, m33 = cos a cos b,
  // m12 = -cos b sin g, m11 = cos b cos g.
  double sb = R.m13 > 1 ? 1 : R.m13 < -1 ? -1 : R.m13;
  double b = std::asin(sb);
  double a, g;
  if (std::fabs(sb) < 1 - 1e-12) {
    a = std::atan2(-R.m23, R.m33);
    g = std::atan2(-R.m12, R.m11);
  } else { // gimbal lock: put the whole turn into a
    g = 0;
    a = std::atan2(R.m32, R.m22);
  }
  return {a, b, g};
}

MATRIX3 Orthonormalise(const MATRIX3 &R) {
  VECTOR3 x = Col(R, 0), y = Col(R, 1);
  x = unit(x);
  y = unit(y - x * dotp(x, y));
  VECTOR3 z = crossp(x, y);
  return FromCols(x, y, z);
}

} // namespace host
