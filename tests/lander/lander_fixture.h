// A world on Mars with landers placed at a chosen height, velocity, attitude and rotation, so that
// the lander's pre-step can be driven one call at a time with exact inputs.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>

#include "../physics/physics_fixture.h"

namespace lander_testing {

constexpr const char* kLanderClass = "QUARN/quarn_vlqn";
constexpr double kMjd = 61270.5;

// Where and how a lander is put: height above the ground, ground-relative velocity in its own
// frame, pitch and bank, angular velocity in its own frame.
struct Pose {
  double h = 1000;
  VECTOR3 v{0, 0, 0};  // m/s
  double pitch = 0;    // rad
  double bank = 0;     // rad
  VECTOR3 omega{0, 0, 0};
};

// The values of a lander's "DSC" line as saved.
struct Dsc {
  int descent_state = -1, burn_stage = -1;
  double stage_timer = -1;
  std::string text;
};

class LanderTest : public physics_test::PhysicsTest {
 protected:
  // Attitude with the given pitch and bank at the site, heading north.
  MATRIX3 Attitude(double pitch, double bank) {
    host::Body& mars = Mars();
    const VECTOR3 up = Site();
    const VECTOR3 north = unit(mars.pole - up * dotp(mars.pole, up));
    const MATRIX3 level = host::FromCols(crossp(up, north), up, north);
    return host::Mul(host::Mul(level, host::AxisAngle({1, 0, 0}, -pitch)), host::AxisAngle({0, 0, 1}, -bank));
  }
  // Straight along a global axis, so that the heights come out exact.
  static VECTOR3 Site() { return {1, 0, 0}; }

  void Put(host::Vessel& lander, const Pose& p) {
    host::Body& mars = Mars();
    const VECTOR3 r = Site() * (mars.radius + p.h);
    const MATRIX3 R = Attitude(p.pitch, p.bank);
    World().Place(lander, mars, r, mars.SurfaceVelocity(r) + host::Mul(R, p.v), R, p.omega);
  }

  // A lander from a scenario block with the given extra lines (its own "DSC" line, say), put at a
  // pose.
  host::Vessel& LoadLander(const std::string& lines, const Pose& p = {}, const std::string& name = "Velquin") {
    const VECTOR3 r = Site() * (Mars().radius + p.h);
    char status[256];
    std::snprintf(status, sizeof status, "  STATUS Orbiting Mars\n  RPOS %.3f %.3f %.3f\n  RVEL 0 0 0\n", r.x, r.y,
                  r.z);
    Load("BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 61270.5\nEND_ENVIRONMENT\nBEGIN_SHIPS\n" + name + ":" +
         kLanderClass + "\n" + status + lines + "END\nEND_SHIPS\n");
    host::Vessel& lander = *World().FindByName(name);
    Put(lander, p);
    return lander;
  }

  // A lander as the capsule makes it in flight: created, not loaded.
  host::Vessel& NewLander(const Pose& p = {}, const std::string& name = "Velquin") {
    host::Vessel& lander = Create(kLanderClass, name, Mars(), Site() * (Mars().radius + p.h), {0, 0, 0});
    Put(lander, p);
    return lander;
  }

  // One pre-step of the lander alone: nothing else moves.
  void PreStep(host::Vessel& lander, double dt) { lander.Callbacks()->clbkPreStep(World().SimTime(), dt, kMjd); }

  static double Level(const host::Vessel& lander, int cluster) { return lander.config.thrusters[cluster]->level; }
  static void SetLevels(host::Vessel& lander, double level) {
    for (const auto& th : lander.config.thrusters) th->level = level;
  }
  static bool LevelMode(const host::Vessel& lander) { return lander.state.navmode[NAVMODE_HLEVEL]; }

  // The lander's "DSC" line in a saved scenario.
  Dsc SavedDsc(const std::string& name = "Velquin") {
    Dsc d;
    d.text = SavedLine(name, "DSC");
    std::sscanf(d.text.c_str(), "%d %d %lf", &d.descent_state, &d.burn_stage, &d.stage_timer);
    return d;
  }

  // Weight of a lander at a height, from the body's gravity as a point mass.
  double Weight(const host::Vessel& lander, double h) {
    const double r = Mars().radius + h;
    return lander.Mass() * Mars().gm / (r * r);
  }
};

}  // namespace lander_testing
