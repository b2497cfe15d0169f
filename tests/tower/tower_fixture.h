// A world holding launch towers and plain probe vessels, placed in free space so that the
// tower's callbacks can be driven one at a time with exact geometry.
#pragma once

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "../host/world_fixture.h"
#include "math3.h"

namespace tower_testing {

// The part lines of a saved tower block: key -> state and position as written.
struct PartLine {
  int state = -1;
  double pos = -1;
  std::string text;  // the values exactly as written
};

class TowerTest : public testing_support::WorldTest {
 protected:
  // Far from any body, so no ground and no air; the Sun's gravity is the only force.
  static constexpr VECTOR3 kOrigin = {2.0e9, 0, 0};

  void SetUp() override {
    WorldTest::SetUp();
    // A plain vessel without thrusters or attachment points; tests give it what they need.
    AddClass("tower_test_probe", "; a plain probe vessel\nEmptyMass = 1000\nSize = 1\n");
  }

  host::Body& Sun() { return *World().FindBody("Sun"); }

  // A vessel of a class placed at kOrigin + offset, axes along the global axes, at rest.
  host::Vessel& Create(const std::string& name, const std::string& class_name, const VECTOR3& offset) {
    VESSELSTATUS vs{};
    vs.rbody = World().BodyHandle(Sun());
    vs.rpos = kOrigin + offset;
    host::Vessel& v = World().CreateVessel(name, class_name, vs);
    Put(v, offset);
    return v;
  }
  void Put(host::Vessel& v, const VECTOR3& offset) {
    World().Place(v, Sun(), kOrigin + offset, {0, 0, 0}, host::Identity3(), {0, 0, 0});
  }
  host::Vessel& Tower(const std::string& name = "Tower", const VECTOR3& offset = {0, 0, 0}) {
    return Create(name, "brakkatower", offset);
  }
  // A probe with a main and a retro thruster of zero thrust, in their groups.
  host::Vessel& Probe(const std::string& name, const VECTOR3& offset) {
    host::Vessel& v = Create(name, "tower_test_probe", offset);
    THRUSTER_HANDLE main = v.iface->CreateThruster({0, 0, 0}, {0, 0, 1}, 0.0);
    THRUSTER_HANDLE retro = v.iface->CreateThruster({0, 0, 0}, {0, 0, -1}, 0.0);
    v.iface->CreateThrusterGroup(&main, 1, THGROUP_MAIN);
    v.iface->CreateThrusterGroup(&retro, 1, THGROUP_RETRO);
    return v;
  }
  // Main-engine level as other vessels see it: main minus retro.
  static void SetEngine(host::Vessel& v, double level) {
    v.iface->SetThrusterGroupLevel(THGROUP_MAIN, level > 0 ? level : 0.0);
    v.iface->SetThrusterGroupLevel(THGROUP_RETRO, level < 0 ? -level : 0.0);
  }

  static void PreStep(host::Vessel& tower) { tower.Callbacks()->clbkPreStep(0.0, 0.01, 61270.5); }
  static void PostStep(host::Vessel& tower, double dt) { tower.Callbacks()->clbkPostStep(0.0, dt, 61270.5); }
  static double EmitterLevel(const host::Vessel& tower, int k) { return tower.config.thrusters[k]->level; }
  static double Animation(const host::Vessel& tower, int anim) { return tower.config.animations[anim]->state; }

  // The vessel held at a parent-side point, or null.
  static host::Vessel* Held(const host::Vessel& parent, std::size_t point = 0) {
    const host::AttachmentRecord& a = *parent.config.attachments[point];
    return a.peer ? a.peer->owner : nullptr;
  }

  // The tower lines of one vessel's block in a saved scenario.
  std::map<std::string, PartLine> SavedParts(const std::string& vessel) {
    std::map<std::string, PartLine> parts;
    std::istringstream in(World().SaveScenario());
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
      if (line.rfind(vessel + ":", 0) == 0)
        inside = true;
      else if (line == "END")
        inside = false;
      else if (inside && line.size() > 6 && line[0] == ' ' && line[1] == ' ') {
        std::string key = line.substr(2, 3);
        if (key == "TWR" || key == "MCH" || (key[0] == 'E' && key[1] == 'T')) {
          PartLine p;
          p.text = line.substr(6);
          std::sscanf(p.text.c_str(), "%d %lf", &p.state, &p.pos);
          parts[key] = p;
        }
      }
    }
    return parts;
  }
};

// Animation numbers in the order the tower creates them.
constexpr int kAnimTwr = 0;
constexpr int kAnimEt1 = 1;
constexpr int kAnimMch = 10;

}  // namespace tower_testing

namespace tower_testing {

// A scenario with one tower, "Tower", landed at an Earth launch site, with extra lines in its
// block.
inline std::string TowerScenario(const std::string& tower_lines) {
  return "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 61270.5\nEND_ENVIRONMENT\n"
         "BEGIN_SHIPS\n"
         "Tower:brakkatower\n"
         "  STATUS Landed Earth\n"
         "  POS -80.6041 28.6083\n"
         "  HEADING 0.00\n" +
         tower_lines +
         "END\n"
         "END_SHIPS\n";
}

}  // namespace tower_testing
