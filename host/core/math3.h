// Small 3-D helpers over the host types: matrices as vessel-to-global
// rotations.
#pragma once

#include "types.h"

namespace host {

inline MATRIX3 Identity3() { return {1, 0, 0, 0, 1, 0, 0, 0, 1}; }

// M v
inline VECTOR3 Mul(const MATRIX3 &M, const VECTOR3 &v) {
  return {M.m11 * v.x + M.m12 * v.y + M.m13 * v.z,
          M.m21 * v.x + M.m22 * v.y + M.m23 * v.z,
          M.m31 * v.x + M.m32 * v.y + M.m33 * v.z};
}

// M^T v
inline VECTOR3 TMul(const MATRIX3 &M, const VECTOR3 &v) {
  return {M.m11 * v.x + M.m21 * v.y + M.m31 * v.z,
          M.m12 * v.x + M.m22 * v.y + M.m32 * v.z,
          M.m13 * v.x + M.m23 * v.y + M.m33 * v.z};
}

inline MATRIX3 Mul(const MATRIX3 &A, const MATRIX3 &B) {
  return {A.m11 * B.m11 + A.m12 * B.m21 + A.m13 * B.m31,
          A.m11 * B.m12 + A.m12 * B.m22 + A.m13 * B.m32,
          A.m11 * B.m13 + A.m12 * B.m23 + A.m13 * B.m33,
          A.m21 * B.m11 + A.m22 * B.m21 + A.m23 * B.m31,
          A.m21 * B.m12 + A.m22 * B.m22 + A.m23 * B.m32,
          A.m21 * B.m13 + A.m22 * B.m23 + A.m23 * B.m33,
          A.m31 * B.m11 + A.m32 * B.m21 + A.m33 * B.m31,
          A.m31 * B.m12 + A.m32 * B.m22 + A.m33 * B.m32,
          A.m31 * B.m13 + A.m32 * B.m23 + A.m33 * B.m33};
}

inline MATRIX3 Transpose(const MATRIX3 &M) {
  return {M.m11, M.m21, M.m31, M.m12, M.m22, M.m32, M.m13, M.m23, M.m33};
}

// Columns of M.
inline VECTOR3 Col(const MATRIX3 &M, int c) {
  return c == 0   ? VECTOR3{M.m11, M.m21, M.m31}
         : c == 1 ? VECTOR3{M.m12, M.m22, M.m32}
                  : VECTOR3{M.m13, M.m23, M.m33};
}
inline MATRIX3 FromCols(const VECTOR3 &a, const VECTOR3 &b, const VECTOR3 &c) {
  return {a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z};
}

// Rotation by angle about a unit axis, right-hand rule (Rodrigues).
MATRIX3 AxisAngle(const VECTOR3 &axis, double angle);

// Attitude angles: R = Rx(a) Ry(b) Rz(g), the vessel-to-global rotation.
// Round-trips with AnglesFromMatrix for every rotation (b in [-pi/2, pi/2]).
MATRIX3 MatrixFromAngles(const VECTOR3 &arot);
VECTOR3 AnglesFromMatrix(const MATRIX3 &R);

// Re-orthonormalises a rotation that integration has let drift.
MATRIX3 Orthonormalise(const MATRIX3 &R);

} // namespace host
