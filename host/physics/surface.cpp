#include "surface.h"

#include <algorithm>
#include <cmath>

#include "gravity.h"
#include "kinematics.h"
#include "math3.h"

namespace host {

namespace {

// At rest: slower than this relative to the ground, for this long.
constexpr double kRestSpeed = 5e-4;  // m/s
constexpr double kRestRate = 1e-4;   // rad/s
constexpr double kRestTime = 1.0;    // s

// Normal of the touchdown base in the vessel frame, pointing toward the ground, and the base's
// distance from the origin along it.
bool BaseNormal(const Vessel& v, VECTOR3& n, double& height) {
  const auto& td = v.config.touchdown;
  if (td.size() < 3) return false;
  VECTOR3 c = crossp(td[1].pos - td[0].pos, td[2].pos - td[0].pos);
  if (!(length(c) > 0)) return false;
  n = unit(c);
  height = dotp(td[0].pos, n);
  return true;
}

VECTOR3 BodySpin(const Body& b) { return b.pole * b.AngularRate(); }

// Fixes the root to the surface in the body-fixed pose it has now, at rest on the ground.
void Pin(Vessel& v) {
  Kinematics& k = v.state.kin;
  MATRIX3 O = k.ref->Orientation();
  v.state.landed_surface_pos = TMul(O, k.rpos);
  v.state.landed_surface_R = Mul(Transpose(O), k.R);
  k.rvel = k.ref->SurfaceVelocity(k.rpos);
  k.omega = TMul(k.R, BodySpin(*k.ref));
  v.state.landed = true;
  v.state.ground_contact = true;
  v.state.in_flight_since_contact = false;
  v.state.airborne_time = 0;
}

// Smallest friction coefficient of the composite's touchdown points.
double GripOf(const Composite& c) {
  double mu = 1e300;
  for (int i = 0; i < c.count; ++i) {
    const VesselConfig& cfg = c.members[i].v->config;
    if (cfg.touchdown.empty() || cfg.touchdown_derived) {
      mu = std::min({mu, cfg.mu_lat, cfg.mu_lng});
      continue;
    }
    for (const TOUCHDOWNVTX& td : cfg.touchdown) mu = std::min({mu, td.mu, td.mu_lng});
  }
  return std::max(mu, 0.0);
}

}  // namespace

bool HoldLanded(const std::vector<Body>& bodies, const Composite& c, const ForceSum& sum) {
  Vessel& v = *c.root;
  Kinematics& k = v.state.kin;
  if (!k.ref) return false;
  const Body& b = *k.ref;
  MATRIX3 O = b.Orientation();
  VECTOR3 spin = BodySpin(b);
  k.rpos = Mul(O, v.state.landed_surface_pos);
  k.R = Mul(O, v.state.landed_surface_R);
  k.rvel = b.SurfaceVelocity(k.rpos);
  k.omega = TMul(k.R, spin);

  // what the ground must supply to keep the cg moving with the surface
  VECTOR3 rcg = k.rpos + Mul(k.R, c.cg);
  VECTOR3 a_surface = crossp(b.SurfaceVelocity(rcg), spin);
  VECTOR3 ground = a_surface * c.mass - Mul(k.R, sum.force) - GravityAt(bodies, b, rcg) * c.mass;
  VECTOR3 up = unit(rcg);
  double normal = dotp(ground, up);
  double sideways = length(ground - up * normal);
  if (normal > 0 && sideways <= GripOf(c) * normal) {
    v.state.ground_contact = true;
    v.state.rest_time = 0;
    return true;
  }
  v.state.landed = false;
  v.state.rest_time = 0;
  return false;
}

void Settle(const Composite& c, int points_on_ground, const ForceSum& sum, double dt) {
  Vessel& v = *c.root;
  VesselState& st = v.state;
  const Kinematics& k = st.kin;
  bool steering = false;
  for (int m = 1; m < 8; ++m) steering |= st.navmode[m];
  if (points_on_ground < 3 || sum.thrust > 0 || steering || !k.ref) {
    st.rest_time = 0;
    return;
  }
  double speed = length(k.rvel - k.ref->SurfaceVelocity(k.rpos));
  double rate = length(k.omega - TMul(k.R, BodySpin(*k.ref)));
  st.rest_time = speed < kRestSpeed && rate < kRestRate ? st.rest_time + dt : 0;
  if (st.rest_time >= kRestTime) {
    Pin(v);
    st.rest_time = 0;
  }
}

void PlaceLanded(Vessel& v, double lon, double lat, double heading) {
  Kinematics& k = v.state.kin;
  Body* b = k.ref;
  if (!b) return;
  // body-fixed frame: x prime meridian, y north pole, z 90 degrees east
  VECTOR3 up_bf{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
  VECTOR3 north_bf{-std::sin(lat) * std::cos(lon), std::cos(lat), -std::sin(lat) * std::sin(lon)};
  VECTOR3 east_bf = crossp(up_bf, north_bf);
  VECTOR3 fwd_bf = north_bf * std::cos(heading) + east_bf * std::sin(heading);
  VECTOR3 n;
  double height = 0;
  MATRIX3 Rbf;
  if (BaseNormal(v, n, height)) {
    // the base normal points at the ground; the vessel's heading axis is whichever of +z, +y
    // lies best in the base plane
    VECTOR3 ref = std::fabs(n.z) < 0.9 ? VECTOR3{0, 0, 1} : VECTOR3{0, 1, 0};
    VECTOR3 h_local = unit(ref - n * dotp(ref, n));
    MATRIX3 L = FromCols(-n, h_local, crossp(-n, h_local));      // vessel axes: up, heading
    MATRIX3 G = FromCols(up_bf, fwd_bf, crossp(up_bf, fwd_bf));  // body-fixed axes
    Rbf = Mul(G, Transpose(L));
  } else {
    height = 0;  // no base: the vessel stands upright on its origin
    Rbf = FromCols(crossp(up_bf, fwd_bf), up_bf, fwd_bf);
  }
  v.state.landed_surface_pos = up_bf * (b->radius + height);
  v.state.landed_surface_R = Rbf;
  MATRIX3 O = b->Orientation();
  k.rpos = Mul(O, v.state.landed_surface_pos);
  k.R = Mul(O, Rbf);
  Pin(v);
}

void SurfaceCoordinates(const Vessel& v, double& lon, double& lat, double& heading) {
  const Kinematics& k = v.state.kin;
  lon = lat = heading = 0;
  if (!k.ref) return;
  MATRIX3 O = k.ref->Orientation();
  VECTOR3 p = TMul(O, k.rpos);
  double r = length(p);
  if (!(r > 0)) return;
  lat = std::asin(std::clamp(p.y / r, -1.0, 1.0));
  lon = std::atan2(p.z, p.x);
  MATRIX3 H = HorizonFrame(v);
  VECTOR3 n;
  double height;
  VECTOR3 ref{0, 0, 1};
  if (BaseNormal(v, n, height)) ref = std::fabs(n.z) < 0.9 ? VECTOR3{0, 0, 1} : VECTOR3{0, 1, 0};
  VECTOR3 f = Mul(k.R, ref);
  heading = std::atan2(dotp(f, Col(H, 0)), dotp(f, Col(H, 2)));
}

}  // namespace host
