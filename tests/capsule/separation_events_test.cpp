// The events that change the stack: the heat shield's spawn state, the lander when it cannot be
// made whole, and the break-up with and without a lander aboard.
#include <string>
#include <vector>

#include "capsule_fixture.h"

namespace {

using capsule_testing::CapsuleTest;
using capsule_testing::kBackshell;
using capsule_testing::kCap;
using capsule_testing::kChute;
using capsule_testing::kHeatShield;

constexpr WORD kShown = MESHVIS_EXTERNAL, kHidden = MESHVIS_NEVER;
constexpr double kDt = 0.01;

TEST_F(CapsuleTest, HeatShieldStartsWhereTheCapsuleIsInFreeFlight) {
  host::Vessel& capsule = CapsuleWithLander(5000, 100);
  const MATRIX3 R = host::Mul(ShieldDown(), host::AxisAngle(unit(VECTOR3{1, 2, 3}), 0.4));
  const VECTOR3 omega = {0.1, -0.2, 0.3};
  const VECTOR3 rvel = Up() * -100 + VECTOR3{0, 20, -10};
  World().Place(capsule, Mars(), Up() * (Mars().radius + 5000), rvel, R, omega);
  PreStep(capsule, kDt);

  const host::Vessel* shield = World().FindByName("KTX_Heatshield");
  ASSERT_NE(shield, nullptr);
  EXPECT_EQ(shield->class_name, "QUARN/quarn_htshld");
  const host::Kinematics& c = capsule.state.kin;
  const host::Kinematics& s = shield->state.kin;
  EXPECT_EQ(s.ref, c.ref);
  EXPECT_NEAR(length(s.rpos - c.rpos), 0, 1e-6);
  EXPECT_NEAR(length(s.rvel - c.rvel), 0, 1e-9);
  EXPECT_NEAR(length(s.omega - omega), 0, 1e-12);
  const double* a = &s.R.m11;
  const double* b = &c.R.m11;
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], 1e-9) << i;
  EXPECT_FALSE(shield->state.landed);

  EXPECT_EQ(Visibility(capsule, kHeatShield), kHidden);
  EXPECT_EQ(capsule.config.empty_mass, 320 - 80);
  EXPECT_EQ(SavedCht().shield_state, 1);
}

// A lander class that cannot be made, or made without what the capsule needs of it. The capsule
// gives up on it for good, removes what it made, and flies on without a lander.
struct LanderClass {
  const char* name;
  const char* cfg;  // the class file of "QUARN/quarn_vlqn"
  std::size_t created;
  bool held;
  double tank;
  const char* cht;
};

class LanderClassTest : public CapsuleTest, public testing::WithParamInterface<LanderClass> {};

TEST_P(LanderClassTest, OneTryAndNoHalfMadeLanderLeft) {
  const LanderClass& p = GetParam();
  AddClass("QUARN/quarn_vlqn", p.cfg);
  host::Vessel& capsule = NewCapsule();
  for (int i = 0; i < 10; ++i) PreStep(capsule, kDt);

  EXPECT_EQ(CountOf("created", "Velquin"), p.created);
  host::Vessel* lander = World().FindByName("Velquin");
  if (p.held) {
    ASSERT_NE(lander, nullptr);
    EXPECT_EQ(Held(capsule), lander);
    EXPECT_EQ(lander->config.propellants[0]->mass, p.tank);
  } else {
    EXPECT_EQ(lander, nullptr);
    EXPECT_EQ(Held(capsule), nullptr);
    EXPECT_EQ(CountOf("deleted", "Velquin"), p.created);
  }
  EXPECT_EQ(SavedCht().text, p.cht);
  EXPECT_EQ(capsule.config.empty_mass, 320);

  // and the rest of the sequence runs as before
  Put(capsule, 9000, 300);
  PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().chute_state, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lander, LanderClassTest,
    testing::Values(LanderClass{"NoModule", "Module = quarn_no_such_module\n", 0, false, 0, "0 2 2 1.0000 0 0.0000"},
                    LanderClass{"NoTank", "EmptyMass = 235\nAttachment = 1 0 0.11 0 0 1 0 0 0 1 BS\n", 1, false, 0,
                                "0 2 2 1.0000 0 0.0000"},
                    LanderClass{"NoPointTowardAParent",
                                "EmptyMass = 235\nPropellant = 45\nAttachment = 0 0 0.11 0 0 1 0 0 0 1 BS\n", 1, false,
                                0, "0 2 2 1.0000 0 0.0000"},
                    LanderClass{"AnyWholeLanderIsFilledToItsCapacity",
                                "EmptyMass = 235\nPropellant = 30\nAttachment = 1 0 0.11 0 0 1 0 0 0 1 BS\n", 1, true,
                                30, "0 1 2 1.0000 0 0.0000"}),
    [](const testing::TestParamInfo<LanderClass>& info) { return std::string(info.param.name); });

// The break-up: a burst of just over 0.5 s, the backshell and cap gone, an attached lander with
// them; the heat-shield and parachute meshes stay as they were.
struct BreakUp {
  const char* name;
  const char* cht;  // "" for a new capsule that has made its lander
  bool lander_deleted;
  std::vector<WORD> vis;
  const char* after;
};

class BreakUpTest : public CapsuleTest, public testing::WithParamInterface<BreakUp> {};

TEST_P(BreakUpTest, BurstsForJustOverHalfASecondAndLeavesWhatWasNotAboard) {
  const BreakUp& p = GetParam();
  host::Vessel* capsule = nullptr;
  if (*p.cht) {
    capsule = &LoadCapsule(p.cht, 8000, 300);
    Create("QUARN/quarn_vlqn", "Velquin", Mars(), Up() * (Mars().radius + 500), {0, 0, 0});
  } else {
    capsule = &CapsuleWithLander(8000, 300);
  }
  ASSERT_NE(World().FindByName("Velquin"), nullptr);

  // steps of 1/8 s: four make exactly 0.5 s, which is not yet past it
  std::vector<double> levels;
  StepWithDrag(*capsule, 132001, 0.125);
  levels.push_back(StreamLevel(*capsule));
  EXPECT_EQ(World().FindByName("Velquin") == nullptr, p.lander_deleted);
  EXPECT_EQ(CountOf("deleted", "Velquin"), p.lander_deleted ? 1u : 0u);
  EXPECT_EQ(Visibilities(*capsule), p.vis);
  EXPECT_EQ(capsule->config.empty_mass, 200);
  EXPECT_EQ(SavedCht().text, p.after);
  for (int k = 2; k <= 8; ++k) {
    StepWithDrag(*capsule, 200000, 0.125);  // a second crossing starts nothing
    levels.push_back(StreamLevel(*capsule));
  }
  EXPECT_EQ(levels, (std::vector<double>{1, 1, 1, 1, 0, 0, 0, 0}));
  for (const auto& s : capsule->config.streams) EXPECT_EQ(s->Level(), 0);
  EXPECT_EQ(Visibilities(*capsule), p.vis);
}

INSTANTIATE_TEST_SUITE_P(
    Aboard, BreakUpTest,
    testing::Values(
        BreakUp{"LanderHeldAndShieldOn", "", true, {kHidden, kShown, kHidden, kHidden}, "3 3 2 1.0000 0 0.0000"},
        BreakUp{"LanderReleasedShieldGoneChuteOpen",
                "  CHT 1 2 0 0.0 0 0.0\n",
                false,
                {kHidden, kHidden, kHidden, kShown},
                "3 3 0 0.0000 0 0.0000"}),
    [](const testing::TestParamInfo<BreakUp>& info) { return std::string(info.param.name); });

TEST_F(CapsuleTest, AfterTheBreakUpAStowedParachuteAndTheShieldStayPut) {
  host::Vessel& capsule = CapsuleWithLander(9000, 600);
  capsule.state.drag = 140000;
  PreStep(capsule, kDt);
  Put(capsule, 5000, 100);
  capsule.state.drag = 0;
  for (int i = 0; i < 5; ++i) PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().text, "3 3 2 1.0000 0 0.0000");
  EXPECT_EQ(World().FindByName("KTX_Heatshield"), nullptr);
  EXPECT_EQ(Visibility(capsule, kChute), kHidden);
  EXPECT_EQ(Visibility(capsule, kHeatShield), kShown);
}

TEST_F(CapsuleTest, AfterTheBreakUpAnInflatingParachuteOpensAndCollapsesOnTheGround) {
  host::Vessel& capsule = LoadCapsule("  CHT 0 1 1 0.5 0 0\n", 9000, 300);
  capsule.state.drag = 140000;
  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().text, "3 3 1 0.2500 0 0.0000");
  PreStep(capsule, 0.25);
  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().text, "3 3 0 0.0000 0 0.0000");
  EXPECT_EQ(capsule.config.size, 15);

  Put(capsule, 1, 0);
  capsule.state.ground_contact = true;
  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().text, "3 3 0 0.0000 1 0.1250");
  EXPECT_EQ(Visibility(capsule, kChute), kShown);
  EXPECT_EQ(Visibility(capsule, kBackshell), kHidden);
  EXPECT_EQ(Visibility(capsule, kCap), kHidden);
}

}  // namespace
