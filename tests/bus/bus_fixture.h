// A world with buses in free space near Mars, run from a scratch working directory (the bus's
// sound connector writes its log by relative name), with the bus's saved lines and animation
// states at hand and its callbacks to drive one at a time.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../physics/physics_fixture.h"
#include "step_rules.h"

namespace bus_testing {

constexpr const char* kBusClass = "QUARN/quarn_bus";
constexpr const char* kCapsuleClass = "QUARN/quarn_edl_capsule";
constexpr double kMjd = 61270.5;

// Animation ids in the order the bus creates them.
enum Anim { kSolarRotation, kSolarDeploy, kHgaDeploy, kHgaElevation, kHgaAzimuth };

// The bus's own lines as saved.
struct BusLines {
  int hga_state = -99, solar_state = -99, capsule_released = -99;
  double hga_deploy = -1, hga_elevation = -1, hga_azimuth = -1;
  double solar_deploy = -1, solar_rotation = -1;
  std::string ant, slp, vlq;  // the text after each key
};

class BusTest : public physics_test::PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    run_dir_ = dir_ / "run";
    std::filesystem::create_directories(run_dir_);
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(run_dir_);
    // the capsule as a plain host-native vessel, so that the release does not depend on the
    // capsule's own module
    AddClass(kCapsuleClass, "EmptyMass = 600\nSize = 1.5\n");
  }
  void TearDown() override {
    world_.reset();
    std::filesystem::current_path(old_cwd_);
    PhysicsTest::TearDown();
  }

  // A bus created in flight (not from a scenario), far from Mars, without gravity.
  host::Vessel& NewBus(const MATRIX3& R = host::Identity3(), const std::string& name = "Bus") {
    GravityOff();
    host::Vessel& bus = Create(kBusClass, name, Mars(), {4e8, 0, 0}, {0, 0, 0}, R);
    World().SetFocus(&bus);
    return bus;
  }

  // Turns a bus to an attitude where it stands.
  void Turn(host::Vessel& bus, const MATRIX3& R) {
    const host::Kinematics k = bus.state.kin;
    World().Place(bus, *k.ref, k.rpos, k.rvel, R, k.omega);
  }

  // A bus from a scenario block with the given extra lines.
  host::Vessel& LoadBus(const std::string& lines, const std::string& name = "Bus") {
    Load("BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 61270.5\nEND_ENVIRONMENT\nBEGIN_FOCUS\n  Ship " + name +
         "\nEND_FOCUS\nBEGIN_SHIPS\n" + name + ":" + kBusClass +
         "\n  STATUS Orbiting Mars\n  RPOS 400000000 0 0\n  RVEL 0 0 0\n  PRPLEVEL 0:1.000000\n" + lines +
         "END\nEND_SHIPS\n");
    GravityOff();
    World().FinishCreation();
    return *World().FindByName(name);
  }

  void PreStep(host::Vessel& bus, double dt) { bus.Callbacks()->clbkPreStep(World().SimTime(), dt, kMjd); }
  void PreSteps(host::Vessel& bus, double seconds, double dt) {
    for (long i = 0, n = std::lround(seconds / dt); i < n; ++i) PreStep(bus, dt);
  }

  static double AnimState(const host::Vessel& bus, Anim a) { return bus.config.animations[a]->state; }
  static double WingArea(const host::Vessel& bus, int airfoil) { return bus.config.airfoils[airfoil]->area; }

  // A key press to the bus with modifiers held; what the bus returned.
  int Press(host::Vessel& bus, int key, const std::vector<int>& modifiers = {}) {
    return World().PressKey(bus, key, modifiers);
  }

  BusLines Saved(const std::string& name = "Bus") {
    BusLines b;
    std::istringstream in(World().SaveScenario());
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
      if (line.rfind(name + ":", 0) == 0) {
        inside = true;
      } else if (line == "END") {
        inside = false;
      } else if (inside && line.rfind("  ANT ", 0) == 0) {
        b.ant = line.substr(6);
        std::sscanf(b.ant.c_str(), "%d %lf %lf %lf", &b.hga_state, &b.hga_deploy, &b.hga_elevation, &b.hga_azimuth);
      } else if (inside && line.rfind("  SLP ", 0) == 0) {
        b.slp = line.substr(6);
        std::sscanf(b.slp.c_str(), "%d %lf %lf", &b.solar_state, &b.solar_deploy, &b.solar_rotation);
      } else if (inside && line.rfind("  VLQ ", 0) == 0) {
        b.vlq = line.substr(6);
        std::sscanf(b.vlq.c_str(), "%d", &b.capsule_released);
      }
    }
    return b;
  }

  // Global position of the bus and of a body.
  static VECTOR3 GlobalPos(host::Vessel& bus) {
    VECTOR3 p;
    bus.iface->GetGlobalPos(p);
    return p;
  }
  static VECTOR3 BodyPos(const char* name) {
    VECTOR3 p{0, 0, 0};
    oapiGetGlobalPos(oapiGetObjectByName(name), &p);
    return p;
  }
  // An attitude that shows the global direction g (unit) in the bus frame as the direction l.
  static MATRIX3 Showing(const VECTOR3& l, const VECTOR3& g) {
    return host::Mul(Pointing(2, unit(g)), host::Transpose(Pointing(2, unit(l))));
  }

  std::string LogText() {
    std::ifstream in(run_dir_ / "OrbiterSound_Log.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path run_dir_;
  std::filesystem::path old_cwd_;
};

}  // namespace bus_testing
