// A world for flight-dynamics tests: vessels of the project's classes placed at will, bodies
// whose gravity, air and spin a test may change.
#pragma once

#include <cmath>
#include <string>

#include "../host/world_fixture.h"
#include "atmosphere.h"
#include "body.h"
#include "kinematics.h"
#include "math3.h"

namespace physics_test {

class PhysicsTest : public testing_support::WorldTest {
 protected:
  host::Body& Body(const char* name) { return *World().FindBody(name); }
  host::Body& Mars() { return Body("Mars"); }

  // Test hooks on the bodies: plain data of the world's bodies.
  void GravityOff() {
    for (host::Body& b : World().Bodies()) b.gm = 0;
  }
  void SetAir(host::Body& b, std::shared_ptr<const host::Atmosphere> air) { b.atmosphere = std::move(air); }
  void StopSpin(host::Body& b) { b.sidereal_period = 0; }

  // Up at a latitude and longitude of a body (global axes, unit).
  VECTOR3 Up(host::Body& b, double lat_deg, double lon_deg) {
    double lat = lat_deg * RAD, lon = lon_deg * RAD;
    return host::Mul(b.Orientation(),
                     VECTOR3{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)});
  }
  // An attitude whose axis `axis` (0 x, 1 y, 2 z) points along dir (unit), the others any way.
  static MATRIX3 Pointing(int axis, const VECTOR3& dir) {
    VECTOR3 any = std::fabs(dir.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 1, 0};
    VECTOR3 a = unit(crossp(dir, any)), b = crossp(dir, a);
    if (axis == 2) return host::FromCols(a, b, dir);  // x, y, z=dir
    if (axis == 1) return host::FromCols(b, dir, a);  // x, y=dir, z
    return host::FromCols(dir, a, b);                 // x=dir, y, z
  }

  host::Vessel& Create(const std::string& cls, const std::string& name, host::Body& b, const VECTOR3& rpos,
                       const VECTOR3& rvel, const MATRIX3& R = host::Identity3(), const VECTOR3& omega = {0, 0, 0}) {
    VESSELSTATUS vs{};
    vs.rbody = World().BodyHandle(b);
    vs.rpos = rpos;
    vs.rvel = rvel;
    vs.arot = host::AnglesFromMatrix(R);
    vs.vrot = omega;
    vs.fuel = 1.0;
    host::Vessel& v = World().CreateVessel(name, cls, vs);
    World().Place(v, b, rpos, rvel, R, omega);
    World().FinishCreation();
    return v;
  }

  // Steps the world for a time, calling each(t) after every step if given.
  template <class F>
  void Run(double seconds, double dt, F each) {
    long n = std::lround(seconds / dt);
    for (long i = 0; i < n; ++i) {
      World().Step(dt);
      each();
    }
  }
  void Run(double seconds, double dt = 0.01) {
    Run(seconds, dt, [] {});
  }

  static double GroundSpeed(const host::Vessel& v) { return length(host::GroundVelocity(v)); }
  // Height above the ground of each touchdown point of a vessel, m.
  static double PointHeight(const host::Vessel& v, std::size_t i) {
    const host::Kinematics& k = v.state.kin;
    return length(k.rpos + host::Mul(k.R, v.config.touchdown[i].pos)) - k.ref->radius;
  }
};

}  // namespace physics_test
