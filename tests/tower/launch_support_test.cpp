// Flame and smoke under a firing vessel, and the hold-down of an idle launcher at the pad. The
// tower's pre-step is driven directly, with the vessels placed in free space along global axes
// (the tower's own axes).
#include <string>

#include "tower_fixture.h"

namespace {

using tower_testing::TowerTest;

constexpr VECTOR3 kFlameRef = {0, -35, 0};
constexpr VECTOR3 kPad = {0, -5, -8};

class ExhaustTest : public TowerTest {
 protected:
  void ExpectAllEmitters(const host::Vessel& tower, double level) {
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(EmitterLevel(tower, k), level, 1e-5) << "T" << k + 1;
  }
};

// Level (90 - d) * 0.02 limited to 0..1, for a vessel at distance d firing at level 0.5.
TEST_F(ExhaustTest, LevelFallsWithDistanceFromTheFlamePoint) {
  host::Vessel& tower = Tower();
  host::Vessel& launcher = Probe("Launcher", kFlameRef);
  SetEngine(launcher, 0.5);
  const struct {
    VECTOR3 offset;  // from the flame reference point
    double level;
  } cases[] = {
      {{0, 0, 0}, 1.0},  {{30, 0, 0}, 1.0},  {{0, 40, 0}, 1.0}, {{0, 0, 65}, 0.5},   {{-65, 0, 0}, 0.5},
      {{80, 0, 0}, 0.2}, {{0, 89, 0}, 0.02}, {{90, 0, 0}, 0.0}, {{0, -120, 0}, 0.0}, {{1e6, 0, 0}, 0.0},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(length(tc.offset));
    Put(launcher, kFlameRef + tc.offset);
    PreStep(tower);
    ExpectAllEmitters(tower, tc.level);
  }
}

TEST_F(ExhaustTest, OnlyMainThrustLightsTheEmitters) {
  host::Vessel& tower = Tower();
  host::Vessel& launcher = Probe("Launcher", kFlameRef + VECTOR3{30, 0, 0});
  const struct {
    double main_level;  // main minus retro
    double level;
  } cases[] = {{0.5, 1.0}, {0.0, 0.0}, {-0.5, 0.0}, {-1.0, 0.0}, {0.01, 1.0}, {1.0, 1.0}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.main_level);
    SetEngine(launcher, tc.main_level);
    PreStep(tower);
    ExpectAllEmitters(tower, tc.level);
  }
}

TEST_F(ExhaustTest, TheFirstVesselInsideTheRadiusDecides) {
  host::Vessel& tower = Tower();
  host::Vessel& first = Probe("First", kFlameRef + VECTOR3{0, 0, 50});
  host::Vessel& second = Probe("Second", kFlameRef + VECTOR3{0, 0, 30});
  SetEngine(second, 1.0);

  // an idle vessel within the radius, earlier in the list, turns the emitters off
  SetEngine(first, 0.0);
  PreStep(tower);
  ExpectAllEmitters(tower, 0.0);

  // one firing earlier in the list sets the level from its own distance
  SetEngine(first, 0.3);
  PreStep(tower);
  ExpectAllEmitters(tower, 0.8);

  // one beyond the radius earlier in the list does not stand in the way
  SetEngine(first, 0.0);
  Put(first, kFlameRef + VECTOR3{0, 0, 95});
  PreStep(tower);
  ExpectAllEmitters(tower, 1.0);
}

TEST_F(ExhaustTest, NothingButTheTowerLeavesTheEmittersOff) {
  host::Vessel& tower = Tower();
  for (int k = 0; k < 5; ++k) tower.config.thrusters[k]->level = 0.7;
  PreStep(tower);
  ExpectAllEmitters(tower, 0.0);
}

TEST_F(ExhaustTest, AnotherTowerIsJustAnotherVessel) {
  host::Vessel& tower = Tower();
  host::Vessel& other = Tower("Other", {0, 0, 50});
  host::Vessel& launcher = Probe("Launcher", kFlameRef + VECTOR3{20, 0, 0});
  SetEngine(launcher, 1.0);
  PreStep(tower);
  ExpectAllEmitters(tower, 0.0);  // the other tower stands closer and fires nothing
  PreStep(other);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(EmitterLevel(other, k), 0.0);
}

class HoldDownTest : public TowerTest {
 protected:
  // A launcher whose origin stands at pad + offset with a child-side point at `point`.
  host::Vessel& Launcher(const std::string& name, const VECTOR3& offset, const char* id = "BR",
                         const VECTOR3& point = {0, 0, 0}) {
    host::Vessel& v = Probe(name, kPad + offset);
    v.iface->CreateAttachment(true, point, {0, 0, -1}, {0, 1, 0}, id);
    return v;
  }
};

TEST_F(HoldDownTest, CapturedOnlyAtExactlyZeroAndReleasedOnlyAboveEightyPercent) {
  host::Vessel& tower = Tower();
  host::Vessel& launcher = Launcher("Launcher", {0, 0, 0});
  // level set, then whether the launcher is held after the step
  const struct {
    double level;
    bool held;
  } steps[] = {
      {0.3, false},  {-0.2, false}, {1e-12, false},  // not idle: not captured
      {0.0, true},                                   // captured at exactly 0
      {0.5, true},   {0.8, true},   {-1.0, true},    // held up to 0.8, retro included
      {0.81, false},                                 // released above 0.8
      {0.5, false},  {0.0, true},                    // idle again at the pad: captured again
      {1.0, false},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.level);
    SetEngine(launcher, s.level);
    PreStep(tower);
    EXPECT_EQ(Held(tower), s.held ? &launcher : nullptr);
  }
  const auto attached = World().Events().Named("attached");
  const auto detached = World().Events().Named("detached");
  EXPECT_EQ(attached.size(), 2u);
  EXPECT_EQ(detached.size(), 2u);
}

TEST_F(HoldDownTest, CaptureJoinsTheLauncherPointToThePad) {
  host::Vessel& tower = Tower();
  host::Vessel& launcher = Launcher("Launcher", {3, 2, 1}, "BR", {0, 0, 4});
  PreStep(tower);
  ASSERT_EQ(Held(tower), &launcher);
  const host::AttachmentRecord& pad = *tower.config.attachments[0];
  EXPECT_EQ(pad.peer, launcher.config.attachments[0].get());
  // the host put the launcher's point on the pad point
  VECTOR3 p;
  launcher.iface->Local2Global({0, 0, 4}, p);
  VECTOR3 q;
  tower.iface->Local2Global(kPad, q);
  EXPECT_LT(length(p - q), 1e-3);
}

// Which vessels and points qualify: distances, ids and what is already attached.
TEST_F(HoldDownTest, WhoIsALauncherAtThePad) {
  const struct {
    const char* name;
    VECTOR3 offset;  // vessel origin from the pad point
    const char* id;
    VECTOR3 point;  // the point in the vessel's frame
    bool captured;
  } cases[] = {
      {"at the pad", {0, 0, 0}, "BR", {0, 0, 0}, true},
      {"id BR followed by more", {0, 0, 0}, "BR-2", {0, 0, 0}, true},
      {"lower-case br", {0, 0, 0}, "br", {0, 0, 0}, false},
      {"mixed-case Br", {0, 0, 0}, "Br", {0, 0, 0}, false},
      {"other id", {0, 0, 0}, "XBR", {0, 0, 0}, false},
      {"point 9.9 m off", {0, 9.9, 0}, "BR", {0, 0, 0}, true},
      {"point 10.1 m off", {0, 10.1, 0}, "BR", {0, 0, 0}, false},
      {"vessel 34 m off, point at the pad", {0, 34, 0}, "BR", {0, -34, 0}, true},
      {"vessel 36 m off, point at the pad", {0, 36, 0}, "BR", {0, -36, 0}, false},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    world_.reset();
    host::Vessel& tower = Tower();
    Launcher("Launcher", tc.offset, tc.id, tc.point);
    PreStep(tower);
    EXPECT_EQ(Held(tower) != nullptr, tc.captured);
  }
}

TEST_F(HoldDownTest, PointAlreadyAttachedElsewhereIsNotCaptured) {
  host::Vessel& tower = Tower();
  host::Vessel& launcher = Launcher("Launcher", {0, 0, 0});
  host::Vessel& crane = Probe("Crane", kPad + VECTOR3{0, 0, 3});
  ATTACHMENTHANDLE hook = crane.iface->CreateAttachment(false, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, "HK");
  ASSERT_TRUE(crane.iface->AttachChild(World().Handle(launcher), hook, launcher.config.attachments[0].get()));
  PreStep(tower);
  EXPECT_EQ(Held(tower), nullptr);
  EXPECT_EQ(Held(crane), &launcher);
}

TEST_F(HoldDownTest, OnlyTheFirstQualifyingVesselAndPointAreHandled) {
  host::Vessel& tower = Tower();
  host::Vessel& first = Launcher("First", {0, 0, 0}, "BR1", {0, 0, 0});
  first.iface->CreateAttachment(true, {0, 1, 0}, {0, 0, -1}, {0, 1, 0}, "BR2");
  host::Vessel& second = Launcher("Second", {0, 2, 0});
  PreStep(tower);
  PreStep(tower);
  EXPECT_EQ(Held(tower), &first);
  EXPECT_EQ(tower.config.attachments[0]->peer, first.config.attachments[0].get());
  EXPECT_EQ(second.config.attachments[0]->peer, nullptr);

  // the first one fires: released; the second, idle, waits for the next step
  SetEngine(first, 0.9);
  PreStep(tower);
  EXPECT_EQ(Held(tower), nullptr);
}

// The pad point is not checked before attaching; the host refuses a second child there, so
// the vessel already held stays held.
TEST_F(HoldDownTest, AnOccupiedPadKeepsItsVessel) {
  host::Vessel& tower = Tower();
  host::Vessel& newcomer = Launcher("Newcomer", {0, 0, 0});
  host::Vessel& held = Launcher("Held", {0, 0, 0});
  ASSERT_TRUE(tower.iface->AttachChild(World().Handle(held), tower.config.attachments[0].get(),
                                       held.config.attachments[0].get()));
  PreStep(tower);
  EXPECT_EQ(Held(tower), &held);
  EXPECT_EQ(newcomer.config.attachments[0]->peer, nullptr);
}

}  // namespace
