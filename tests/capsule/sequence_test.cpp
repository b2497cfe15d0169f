// The entry and descent sequence step by step: each stage at and just past its limits, the lander
// made at the first step, the order of events within one step, the parachute's deployment,
// inflation and collapse, touchdown, and a step of zero length.
#include <string>
#include <vector>

#include "capsule_fixture.h"

namespace {

using capsule_testing::CapsuleTest;
using capsule_testing::Cht;
using capsule_testing::kAnimChute;
using capsule_testing::kAnimCollapse;
using capsule_testing::kCap;
using capsule_testing::kChute;
using capsule_testing::kHeatShield;

constexpr WORD kShown = MESHVIS_EXTERNAL, kHidden = MESHVIS_NEVER;
constexpr double kDt = 0.01;

// A stage, the readings of one step (altitude, airspeed, drag, ground contact), and whether it
// fires. The capsule holds its lander and heat shield, parachute stowed.
enum class Stage { Deploy, Jettison, Release, BreakUp, Touchdown };
struct Limit {
  const char* name;
  Stage stage;
  double h, airspeed, drag;
  bool contact, fires;
};

class LimitTest : public CapsuleTest, public testing::WithParamInterface<Limit> {
 protected:
  bool Fired(const host::Vessel& capsule) {
    const Cht cht = SavedCht();
    switch (GetParam().stage) {
      case Stage::Deploy:
        return cht.chute_state == 1;
      case Stage::Jettison:
        return cht.shield_state == 1 && World().FindByName("KTX_Heatshield");
      case Stage::Release:
        return cht.lander_state == 2 && !Held(capsule);
      case Stage::BreakUp:
        return cht.lander_state == 3 && StreamLevel(capsule) == 1.0;
      case Stage::Touchdown:
        return Visibility(capsule, kChute) == kShown;
    }
    return false;
  }
};

TEST_P(LimitTest, FiresOnlyStrictlyPastItsLimits) {
  const Limit& p = GetParam();
  host::Vessel& capsule = CapsuleWithLander(p.h, p.airspeed);
  capsule.state.drag = p.drag;
  capsule.state.ground_contact = p.contact;
  PreStep(capsule, kDt);
  EXPECT_EQ(Fired(capsule), p.fires);
}

INSTANTIATE_TEST_SUITE_P(Stages, LimitTest,
                         testing::Values(Limit{"DeployAtTheHeight", Stage::Deploy, 11200, 400, 0, false, false},
                                         Limit{"DeployAtTheSpeed", Stage::Deploy, 11000, 500, 0, false, false},
                                         Limit{"DeployJustPast", Stage::Deploy, 11199.999, 499.999, 0, false, true},
                                         Limit{"JettisonAtTheHeight", Stage::Jettison, 6850, 100, 0, false, false},
                                         Limit{"JettisonAtTheSpeed", Stage::Jettison, 6000, 120, 0, false, false},
                                         Limit{"JettisonJustPast", Stage::Jettison, 6849.999, 119.999, 0, false, true},
                                         Limit{"ReleaseAtTheHeight", Stage::Release, 1200, 50, 0, false, false},
                                         Limit{"ReleaseAtTheSpeed", Stage::Release, 1000, 75, 0, false, false},
                                         Limit{"ReleaseJustPast", Stage::Release, 1199.999, 74.999, 0, false, true},
                                         Limit{"BreakUpAtTheDrag", Stage::BreakUp, 9000, 600, 132000, false, false},
                                         Limit{"BreakUpJustPast", Stage::BreakUp, 9000, 600, 132000.001, false, true},
                                         Limit{"TouchdownAtTheHeight", Stage::Touchdown, 20, 600, 0, true, false},
                                         Limit{"TouchdownJustBelow", Stage::Touchdown, 19.999, 600, 0, true, true},
                                         Limit{"LowWithoutContact", Stage::Touchdown, 5, 600, 0, false, false}),
                         [](const testing::TestParamInfo<Limit>& info) { return std::string(info.param.name); });

// Wherever the capsule is at its first step, its lander is made, filled and attached then; a
// capsule already low and slow also lets it go in the same step.
struct FirstStep {
  const char* name;
  double h, airspeed;
  int lander_state;
};

class FirstStepTest : public CapsuleTest, public testing::WithParamInterface<FirstStep> {};

TEST_P(FirstStepTest, MakesTheLanderWhateverTheHeight) {
  host::Vessel& capsule = NewCapsule(GetParam().h, GetParam().airspeed);
  PreStep(capsule, kDt);
  host::Vessel* lander = World().FindByName("Velquin");
  ASSERT_NE(lander, nullptr);
  EXPECT_EQ(lander->class_name, "QUARN/quarn_vlqn");
  ASSERT_EQ(lander->config.propellants.size(), 1u);
  EXPECT_EQ(lander->config.propellants[0]->mass, 45);
  if (GetParam().lander_state == 1) {
    EXPECT_EQ(capsule.Mass() + lander->Mass(), 600);  // the stack
  }
  EXPECT_EQ(CountOf("attached", "Velquin"), 1u);
  EXPECT_EQ(SavedCht().lander_state, GetParam().lander_state);
  EXPECT_EQ(Held(capsule), GetParam().lander_state == 1 ? lander : nullptr);
  for (int i = 0; i < 5; ++i) PreStep(capsule, kDt);
  EXPECT_EQ(CountOf("created", "Velquin"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Heights, FirstStepTest,
                         testing::Values(FirstStep{"InOrbit", 300000, 3500, 1}, FirstStep{"InEntry", 30000, 2000, 1},
                                         FirstStep{"UnderTheLimits", 1000, 50, 2}),
                         [](const testing::TestParamInfo<FirstStep>& info) { return std::string(info.param.name); });

// The lander goes at the point where the capsule held it: its own point on the capsule's "BS".
TEST_F(CapsuleTest, LanderHangsAtTheCapsulesPointByItsFirstParentPoint) {
  host::Vessel& capsule = NewCapsule();
  PreStep(capsule, kDt);
  host::Vessel* lander = Held(capsule);
  ASSERT_NE(lander, nullptr);
  const host::AttachmentRecord& bs = *capsule.config.attachments[0];
  EXPECT_EQ(bs.peer, lander->config.attachments[0].get());
  EXPECT_EQ(bs.peer->id, "BS");
  EXPECT_TRUE(bs.peer->toparent);
}

TEST_F(CapsuleTest, SomethingAlreadyAtBSBlocksTheLanderAndIsNeverReleased) {
  AddClass("capsule_test/cargo", "EmptyMass = 50\nSize = 1\nAttachment = 1 0 0 0 0 0 -1 0 1 0 XX\n");
  host::Vessel& capsule = NewCapsule(1000, 50);
  host::Vessel& cargo = Create("capsule_test/cargo", "Cargo", Mars(), Up() * 4e6, {0, 0, 0});
  ASSERT_TRUE(capsule.iface->AttachChild(World().Handle(cargo), capsule.iface->GetAttachmentHandle(false, 0),
                                         cargo.iface->GetAttachmentHandle(true, 0)));
  for (int i = 0; i < 10; ++i) PreStep(capsule, kDt);
  EXPECT_EQ(World().FindByName("Velquin"), nullptr);
  EXPECT_EQ(Held(capsule), &cargo);
  EXPECT_EQ(SavedCht().lander_state, 0);
  EXPECT_EQ(capsule.config.empty_mass, 600 - 80);  // the shield went all the same

  // once the point is free the lander is made at the next step
  ASSERT_TRUE(capsule.iface->DetachChild(capsule.iface->GetAttachmentHandle(false, 0), 0));
  PreStep(capsule, kDt);
  EXPECT_NE(World().FindByName("Velquin"), nullptr);
}

TEST_F(CapsuleTest, RefusedReleaseIsTriedAgainAtEveryStep) {
  // holding a lander by its state, but nothing at "BS" to let go of
  host::Vessel& capsule = LoadCapsule("  CHT 1 1 0 0.0 0 0.0\n", 1000, 50);
  const OBJHANDLE focus = oapiGetFocusObject();
  for (int i = 0; i < 3; ++i) PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().lander_state, 1);
  EXPECT_EQ(capsule.config.empty_mass, 240);
  EXPECT_EQ(oapiGetFocusObject(), focus);

  host::Vessel& lander = Create("QUARN/quarn_vlqn", "Velquin", Mars(), Up() * 4e6, {0, 0, 0});
  ASSERT_TRUE(capsule.iface->AttachChild(World().Handle(lander), capsule.iface->GetAttachmentHandle(false, 0),
                                         lander.iface->GetAttachmentHandle(true, 0)));
  PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().lander_state, 2);
  EXPECT_EQ(Held(capsule), nullptr);
  EXPECT_EQ(World().Focus(), &lander);
  EXPECT_EQ(capsule.config.empty_mass, 240);
}

// Low and slow at once: the lander goes first, then the heat shield; the stack goes from 600 kg
// to the capsule's 320 kg, then to 240 kg, within the step.
TEST_F(CapsuleTest, ReleaseComesBeforeJettisonWithinOneStep) {
  host::Vessel& capsule = CapsuleWithLander(1000, 50);
  host::Vessel& lander = *Held(capsule);
  EXPECT_EQ(capsule.Mass() + lander.Mass(), 600);
  const std::size_t first = World().Events().All().size();
  PreStep(capsule, kDt);

  std::vector<std::string> order;
  const auto& all = World().Events().All();
  for (std::size_t i = first; i < all.size(); ++i) {
    const host::Event& e = all[i];
    if (e.event != "config")
      order.push_back(e.event + " " + e.vessel);
    else if (std::get<std::string>(*e.Find("op")) == "SetEmptyMass")
      order.push_back("mass " + std::get<std::string>(*e.Find("args")));
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"detached Velquin", "focus Velquin", "created KTX_Heatshield", "mass 240"}));
  EXPECT_EQ(Held(capsule), nullptr);
  EXPECT_EQ(capsule.Mass(), 240);
  EXPECT_EQ(SavedCht().text.substr(0, 3), "1 2");
}

TEST_F(CapsuleTest, ParachuteDeploysWithShieldAndLanderAboardThenInflatesInOneSecond) {
  host::Vessel& capsule = CapsuleWithLander(11000, 450);
  PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().text, "0 1 1 1.0000 0 0.0000");
  EXPECT_EQ(Visibility(capsule, kChute), kShown);
  EXPECT_EQ(Visibility(capsule, kCap), kHidden);
  EXPECT_EQ(Visibility(capsule, kHeatShield), kShown);
  EXPECT_EQ(capsule.config.pmi.x, 8);
  EXPECT_EQ(capsule.config.pmi.z, 4);
  EXPECT_EQ(Anim(capsule, kAnimChute), 1.0);
  EXPECT_EQ(capsule.config.airfoils[0]->area, 3);  // inflation begins at the next step

  // four quarter-second steps bring it exactly to 0, which is not yet past it
  for (int k = 1; k <= 4; ++k) {
    PreStep(capsule, 0.25);
    const double p = 1 - 0.25 * k;
    EXPECT_EQ(Anim(capsule, kAnimChute), p);
    for (const auto& a : capsule.config.airfoils) {
      EXPECT_DOUBLE_EQ(a->area, 3 + 24 * (1 - p));
      EXPECT_DOUBLE_EQ(a->ref.z, -(3 * (1 - p) + 0.1));
    }
  }
  EXPECT_EQ(SavedCht().chute_state, 1);
  EXPECT_EQ(capsule.config.size, 2);
  EXPECT_EQ(capsule.config.rot_drag.x, 2);

  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().text, "0 1 0 0.0000 0 0.0000");
  EXPECT_EQ(Anim(capsule, kAnimChute), 0.0);
  EXPECT_EQ(capsule.config.airfoils[1]->area, 27);
  EXPECT_DOUBLE_EQ(capsule.config.airfoils[1]->ref.z, -3.1);
  EXPECT_EQ(capsule.config.size, 15);
  EXPECT_EQ(capsule.config.rot_drag.x, 4);
  EXPECT_EQ(capsule.config.rot_drag.z, 2);
  EXPECT_EQ(capsule.config.pmi.x, 8);
}

// A loaded inflation state is overwritten while the parachute is stowed or open.
struct HeldProc {
  const char* cht;
  double chute_proc;
};

class HeldInflationTest : public CapsuleTest, public testing::WithParamInterface<HeldProc> {};

TEST_P(HeldInflationTest, StowedIsPackedAndOpenIsOpen) {
  host::Vessel& capsule = LoadCapsule(GetParam().cht, 20000, 1000);
  PreStep(capsule, kDt);
  EXPECT_EQ(SavedCht().chute_proc, GetParam().chute_proc);
  EXPECT_EQ(Anim(capsule, kAnimChute), GetParam().chute_proc);
}

INSTANTIATE_TEST_SUITE_P(Loaded, HeldInflationTest,
                         testing::Values(HeldProc{"  CHT 0 1 2 0.3 0 0\n", 1.0},
                                         HeldProc{"  CHT 0 1 0 0.7 0 0\n", 0.0}));

// On the ground the canopy mesh shows whatever the parachute's stage; only an open one collapses.
TEST_F(CapsuleTest, GroundContactWithTheParachuteStowedShowsItPackedAndNeverCollapses) {
  host::Vessel& capsule = CapsuleWithLander(5, 600);  // too fast for the parachute
  for (int i = 0; i < 5; ++i) {
    capsule.state.ground_contact = true;
    PreStep(capsule, 0.5);
  }
  EXPECT_EQ(Visibility(capsule, kChute), kShown);
  EXPECT_EQ(Visibility(capsule, kCap), kShown);
  EXPECT_EQ(Anim(capsule, kAnimChute), 1.0);
  EXPECT_EQ(Anim(capsule, kAnimCollapse), 0.0);
  EXPECT_EQ(SavedCht().text, "0 1 2 1.0000 0 0.0000");
}

TEST_F(CapsuleTest, OpenParachuteCollapsesInTwoSecondsAfterTouchdown) {
  host::Vessel& capsule = LoadCapsule("  CHT 1 2 0 0.0 0 0.0\n", 1, 2);
  capsule.state.ground_contact = true;
  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().collapse_state, 1);
  EXPECT_EQ(Anim(capsule, kAnimCollapse), 0.125);  // collapsing from the step of contact
  // no contact needed once it has begun: eight quarter seconds reach 1.0, not yet past it
  capsule.state.ground_contact = false;
  for (int k = 2; k <= 8; ++k) {
    PreStep(capsule, 0.25);
    EXPECT_EQ(Anim(capsule, kAnimCollapse), 0.125 * k);
  }
  EXPECT_EQ(SavedCht().text, "1 2 0 0.0000 1 1.0000");
  PreStep(capsule, 0.25);
  EXPECT_EQ(SavedCht().text, "1 2 0 0.0000 2 1.0000");
  EXPECT_EQ(Anim(capsule, kAnimCollapse), 1.0);
}

TEST_F(CapsuleTest, ZeroStepLeavesInflationAndCollapseWhereTheyAre) {
  host::Vessel& inflating = LoadCapsule("  CHT 0 1 1 0.6 0 0\n", 9000, 300);
  PreStep(inflating, 0.0);
  EXPECT_EQ(SavedCht().text, "0 1 1 0.6000 0 0.0000");
  EXPECT_EQ(Anim(inflating, kAnimChute), 0.6);
  EXPECT_NEAR(inflating.config.airfoils[0]->area, 3 + 24 * 0.4, 1e-12);

  FreshWorld();
  host::Vessel& collapsing = LoadCapsule("  CHT 1 2 0 0.0 1 0.3\n", 1, 0);
  collapsing.state.ground_contact = true;
  PreStep(collapsing, 0.0);
  EXPECT_EQ(SavedCht().text, "1 2 0 0.0000 1 0.3000");
  EXPECT_EQ(Anim(collapsing, kAnimCollapse), 0.3);
}

}  // namespace
