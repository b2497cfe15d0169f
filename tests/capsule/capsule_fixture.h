// A world on Mars, not turning, so that a capsule put at a height with a speed straight down
// reads back exactly that altitude and airspeed; its pre-step can then be driven one call at a
// time, or the world stepped with the host's physics.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "../physics/physics_fixture.h"

namespace capsule_testing {

constexpr const char* kCapsuleClass = "QUARN/quarn_edl_capsule";
constexpr const char* kCapsuleName = "KTX_Capsule";
constexpr double kMjd = 61270.5;

// Meshes and animations in the order the capsule makes them.
enum Mesh { kBackshell = 0, kHeatShield = 1, kCap = 2, kChute = 3 };
constexpr std::size_t kAnimChute = 0, kAnimCollapse = 1;

// The values of a capsule's "CHT" line as saved.
struct Cht {
  int shield_state = -1, lander_state = -1, chute_state = -1;
  double chute_proc = -1;
  int collapse_state = -1;
  double collapse_proc = -1;
  std::string text;
};

class CapsuleTest : public physics_test::PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    StopSpin(Mars());
  }

  // Drops the world; the next one is made on first use, also not turning.
  void FreshWorld() {
    world_.reset();
    StopSpin(Mars());
  }

  static VECTOR3 Up() { return {1, 0, 0}; }
  // The heat shield (+z) faces the ground, as in entry.
  static MATRIX3 ShieldDown() { return Pointing(2, -Up()); }

  // At a height above the ground, falling straight down at a speed.
  void Put(host::Vessel& v, double h, double airspeed) {
    World().Place(v, Mars(), Up() * (Mars().radius + h), Up() * -airspeed, ShieldDown(), {0, 0, 0});
  }

  // A capsule as the bus releases it: created, not loaded.
  host::Vessel& NewCapsule(double h = 20000, double airspeed = 1000) {
    return Create(kCapsuleClass, kCapsuleName, Mars(), Up() * (Mars().radius + h), Up() * -airspeed, ShieldDown());
  }
  // A new capsule after its first step, which made and attached its lander, then put elsewhere.
  host::Vessel& CapsuleWithLander(double h, double airspeed) {
    host::Vessel& capsule = NewCapsule();
    PreStep(capsule, 0.01);
    Put(capsule, h, airspeed);
    return capsule;
  }
  // A capsule from a scenario block with the given extra lines (its "CHT" line, say).
  host::Vessel& LoadCapsule(const std::string& lines, double h = 20000, double airspeed = 1000) {
    char status[200];
    std::snprintf(status, sizeof status, "  STATUS Orbiting Mars\n  RPOS %.3f 0 0\n  RVEL 0 0 0\n", Mars().radius + h);
    Load(std::string("BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 61270.5\nEND_ENVIRONMENT\nBEGIN_SHIPS\n") +
         kCapsuleName + ":" + kCapsuleClass + "\n" + status + lines + "END\nEND_SHIPS\n");
    host::Vessel& capsule = *World().FindByName(kCapsuleName);
    Put(capsule, h, airspeed);
    return capsule;
  }

  // One pre-step of the capsule alone: nothing moves, and the world's step length stays as it was.
  void PreStep(host::Vessel& capsule, double dt) { capsule.Callbacks()->clbkPreStep(World().SimTime(), dt, kMjd); }
  // A host step in which the capsule reads the given drag, whatever the last physics step left.
  void StepWithDrag(host::Vessel& capsule, double drag, double dt) {
    capsule.state.drag = drag;
    World().Step(dt);
  }

  static WORD Visibility(const host::Vessel& v, Mesh m) { return v.config.meshes[m].visibility; }
  static std::vector<WORD> Visibilities(const host::Vessel& v) {
    std::vector<WORD> vis;
    for (const host::MeshRecord& m : v.config.meshes) vis.push_back(m.visibility);
    return vis;
  }
  static double Anim(const host::Vessel& v, std::size_t a) { return v.config.animations[a]->state; }
  static double StreamLevel(const host::Vessel& v) { return v.config.streams.front()->Level(); }

  // The vessel at the capsule's lander point, or null.
  static host::Vessel* Held(const host::Vessel& capsule) {
    const host::AttachmentRecord& bs = *capsule.config.attachments.front();
    return bs.peer ? bs.peer->owner : nullptr;
  }

  // The capsule's "CHT" line in a saved scenario.
  Cht SavedCht(const std::string& name = kCapsuleName) {
    Cht c;
    c.text = SavedLine(name, "CHT");
    std::sscanf(c.text.c_str(), "%d %d %d %lf %d %lf", &c.shield_state, &c.lander_state, &c.chute_state, &c.chute_proc,
                &c.collapse_state, &c.collapse_proc);
    return c;
  }

  // "event vessel" for each event of the given kinds, in order.
  std::vector<std::string> EventsOf(const std::vector<std::string>& kinds) {
    std::vector<std::string> out;
    for (const host::Event& e : World().Events().All())
      for (const std::string& k : kinds)
        if (e.event == k) out.push_back(e.event + " " + e.vessel);
    return out;
  }
  std::size_t CountOf(const std::string& kind, const std::string& vessel) {
    std::size_t n = 0;
    for (const host::Event* e : World().Events().Named(kind)) n += e->vessel == vessel;
    return n;
  }
};

}  // namespace capsule_testing
