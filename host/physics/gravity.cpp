#include "gravity.h"

#include <cmath>

#include "vessel_record.h"

namespace host {

namespace {

// -GM d / |d|^3
VECTOR3 PointMass(double gm, const VECTOR3& d) {
  double r2 = dotp(d, d);
  if (!(r2 > 0)) return {0, 0, 0};
  double r = std::sqrt(r2);
  return d * (-gm / (r2 * r));
}

}  // namespace

const Body* CentralBody(const std::vector<Body>& bodies) {
  for (const Body& b : bodies)
    if (!(b.soi > 0)) return &b;
  return nullptr;
}

VECTOR3 GravityAt(const std::vector<Body>& bodies, const Body& ref, const VECTOR3& rpos) {
  VECTOR3 a = PointMass(ref.gm, rpos);
  const Body* sun = CentralBody(bodies);
  if (sun && sun != &ref && sun->gm > 0) {
    // the Sun relative to the reference body, and to the vessel
    VECTOR3 s = sun->pos - ref.pos;
    a += PointMass(sun->gm, rpos - s) - PointMass(sun->gm, -s);
  }
  return a;
}

void AddGravity(const std::vector<Body>& bodies, const Body& ref, const VECTOR3& rcg, ForceSum& sum) {
  sum.gravity += GravityAt(bodies, ref, rcg);
}

Body* BodyOfInfluence(std::vector<Body>& bodies, const VECTOR3& g) {
  Body* best = nullptr;
  for (Body& b : bodies) {
    if (!(b.soi > 0)) {
      if (!best) best = &b;
      continue;
    }
    VECTOR3 d = g - b.pos;
    if (dotp(d, d) < b.soi * b.soi && (!best || !(best->soi > 0) || b.soi < best->soi)) best = &b;
  }
  return best;
}

bool UpdateReferenceBody(std::vector<Body>& bodies, Vessel& root) {
  Kinematics& k = root.state.kin;
  if (!k.ref) return false;
  Body* now = BodyOfInfluence(bodies, k.ref->pos + k.rpos);
  if (!now || now == k.ref) return false;
  // relative state moves to the new body; nothing else changes
  k.rpos += k.ref->pos - now->pos;
  k.rvel += k.ref->vel - now->vel;
  k.ref = now;
  return true;
}

}  // namespace host
