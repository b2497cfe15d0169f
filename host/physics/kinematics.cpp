#include "kinematics.h"

#include <cmath>

#include "body.h"
#include "math3.h"

namespace host {

VECTOR3 GlobalPos(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  return k.ref ? k.ref->pos + k.rpos : k.rpos;
}

VECTOR3 GlobalVel(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  return k.ref ? k.ref->vel + k.rvel : k.rvel;
}

double Altitude(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  return k.ref ? length(k.rpos) - k.ref->radius : length(k.rpos);
}

MATRIX3 HorizonFrame(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  VECTOR3 up = length(k.rpos) > 0 ? unit(k.rpos) : VECTOR3{0, 1, 0};
  VECTOR3 pole = k.ref ? k.ref->pole : VECTOR3{0, 1, 0};
  VECTOR3 north = pole - up * dotp(pole, up);
  if (length(north) < 1e-9) {  // at a pole: any horizontal direction will do
    VECTOR3 any = std::fabs(up.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 0, 1};
    north = any - up * dotp(any, up);
  }
  north = unit(north);
  VECTOR3 east = crossp(up, north);
  return FromCols(east, up, north);
}

VECTOR3 GroundVelocity(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  return k.ref ? k.rvel - k.ref->SurfaceVelocity(k.rpos) : k.rvel;
}

AtmosphereState AirAt(const Vessel& v) {
  const Kinematics& k = v.state.kin;
  if (!k.ref || !k.ref->atmosphere) return {};
  return k.ref->atmosphere->At(Altitude(v));
}

VECTOR3 BodyGravity(const Body& b, const VECTOR3& rpos) {
  double r = length(rpos);
  if (r <= 0) return {0, 0, 0};
  return rpos * (-b.gm / (r * r * r));
}

double Pitch(const Vessel& v) {
  VECTOR3 up = Col(HorizonFrame(v), 1);
  double s = dotp(Col(v.state.kin.R, 2), up);
  return std::asin(s > 1 ? 1 : s < -1 ? -1 : s);
}

double Bank(const Vessel& v) {
  VECTOR3 up = Col(HorizonFrame(v), 1);
  const MATRIX3& R = v.state.kin.R;
  return std::atan2(-dotp(Col(R, 0), up), dotp(Col(R, 1), up));
}

RelPose AttachmentPose(const AttachmentRecord& pp, const AttachmentRecord& cp) {
  // Child frame: its point on the parent's point, its direction opposite the
  // parent's, the rotation references parallel.
  VECTOR3 pd = unit(pp.dir), pr = unit(pp.rot - pd * dotp(pp.rot, pd));
  VECTOR3 cd = unit(cp.dir), cr = unit(cp.rot - cd * dotp(cp.rot, cd));
  // Parent-frame basis the child's (dir, rot, dir x rot) must map to.
  MATRIX3 P = FromCols(-pd, pr, crossp(-pd, pr));
  MATRIX3 C = FromCols(cd, cr, crossp(cd, cr));
  RelPose pose;
  pose.Rrel = Mul(P, Transpose(C));
  pose.pos = pp.pos - Mul(pose.Rrel, cp.pos);
  return pose;
}

}  // namespace host
