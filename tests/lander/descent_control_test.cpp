// The lander's step logic through the host: the state machine from attached to landed, the burn
// stages, the pulse cycle, the guided law on what the host reports, the horizon-level mode and
// the touchdown test; and whole descents flown with the host's physics.
#include <cmath>
#include <string>
#include <vector>

#include "guided_law.h"
#include "lander_fixture.h"

namespace {

using lander_testing::LanderTest;
using lander_testing::Pose;

constexpr double kDt = 0.02;

enum class Levels { None, PitchUp, Full, Guided, Off };

class DescentTest : public LanderTest {
 protected:
  // What the guided law asks for at a pose, from the pose itself rather than from the host.
  lander::ClusterLevels Expected(const host::Vessel& lander, const Pose& p) {
    const double u = dotp(Site(), host::Mul(Attitude(p.pitch, p.bank), p.v));
    return lander::GuidedLevels({lander.Mass(), p.h, p.v, p.omega, Weight(lander, p.h), u, p.pitch, p.bank});
  }
  void ExpectLevels(const host::Vessel& lander, Levels kind, const Pose& p) {
    double want[3] = {0, 0, 0};
    switch (kind) {
      case Levels::None:
      case Levels::Off:
        break;
      case Levels::PitchUp:
        want[0] = 1.0, want[1] = 0.8, want[2] = 0.8;
        break;
      case Levels::Full:
        want[0] = want[1] = want[2] = 1.0;
        break;
      case Levels::Guided: {
        const lander::ClusterLevels L = Expected(lander, p);
        want[0] = L.L1, want[1] = L.L2, want[2] = L.L3;
        break;
      }
    }
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(Level(lander, k), want[k], 1e-9) << "cluster " << k + 1;
  }
  std::vector<bool> NavmodeEvents() {
    std::vector<bool> on;
    for (const host::Event* e : World().Events().Named("navmode")) on.push_back(std::get<bool>(*e->Find("on")));
    return on;
  }
};

TEST_F(DescentTest, AttachedWaitsThenCoastsOneSecondThenFires) {
  AddClass("lander_test_capsule", "EmptyMass = 500\nSize = 1\nAttachment = 0 0 0 0 0 -1 0 0 0 1 BS\n");
  const Pose falling{800, {0, -60, 0}};
  host::Vessel& lander = NewLander(falling);
  VESSELSTATUS vs{};
  vs.rbody = World().BodyHandle(Mars());
  vs.rpos = lander.state.kin.rpos;
  host::Vessel& capsule = World().CreateVessel("Capsule", "lander_test_capsule", vs);
  ATTACHMENTHANDLE bs = capsule.iface->GetAttachmentHandle(false, 0);
  ASSERT_TRUE(capsule.iface->AttachChild(World().Handle(lander), bs, lander.iface->GetAttachmentHandle(true, 0)));

  for (int i = 0; i < 8; ++i) PreStep(lander, 0.25);
  EXPECT_EQ(SavedDsc().text, "0 0 0.0000");

  ASSERT_TRUE(capsule.iface->DetachChild(bs, 0.0));
  Put(lander, falling);
  PreStep(lander, 0.25);
  EXPECT_EQ(SavedDsc().text, "1 0 0.0000");  // released: nothing else in that step
  // coasting: exactly 1 s is not yet more than 1 s
  for (int i = 0; i < 4; ++i) PreStep(lander, 0.25);
  EXPECT_EQ(SavedDsc().text, "1 0 1.0000");
  ExpectLevels(lander, Levels::None, falling);
  EXPECT_TRUE(World().Events().Named("navmode").empty());
  // the powered descent begins in the pitch-up burn in the same step
  PreStep(lander, 0.25);
  EXPECT_EQ(SavedDsc().text, "2 0 0.0000");
  ExpectLevels(lander, Levels::PitchUp, falling);
}

TEST_F(DescentTest, UnattachedLanderIsReleasedAtItsFirstStep) {
  host::Vessel& lander = NewLander();
  EXPECT_EQ(SavedDsc().text, "0 0 0.0000");
  PreStep(lander, kDt);
  EXPECT_EQ(SavedDsc().text, "1 0 0.0000");
  ExpectLevels(lander, Levels::None, {});
}

// Each call decides on the stage it finds: a pitch or a time past the stage's limit moves on by
// one stage, and resets the stage timer, which only runs below the guided burn.
TEST_F(DescentTest, BurnStagesEndByPitchOrByTime) {
  const struct {
    const char* name;
    const char* dsc;
    double pitch_deg;
    const char* after;
    Levels levels;
  } cases[] = {
      {"coasting lander pitched above 20 degrees: full thrust at once", "1 0 0.99", 25, "2 1 0.0000", Levels::Full},
      {"pitch-up burn", "2 0 0.0", 0, "2 0 0.0200", Levels::PitchUp},
      {"pitch-up burn at exactly 0.5 s", "2 0 0.5", 19, "2 0 0.5200", Levels::PitchUp},
      {"pitch-up burn past 0.5 s", "2 0 0.51", 0, "2 1 0.0200", Levels::Full},
      {"pitch-up burn above 20 degrees", "2 0 0.1", 21, "2 1 0.0200", Levels::Full},
      {"pitch-up burn above 40 degrees: one stage only", "2 0 0.1", 45, "2 1 0.0200", Levels::Full},
      {"full-thrust burn at exactly 2 s", "2 1 2.0", 39, "2 1 2.0200", Levels::Full},
      {"full-thrust burn past 2 s", "2 1 2.01", 0, "2 2 0.0000", Levels::Guided},
      {"full-thrust burn above 40 degrees", "2 1 0.5", 41, "2 2 0.0000", Levels::Guided},
      {"guided burn is final", "2 2 0.0", 60, "2 2 0.0000", Levels::Guided},
      {"an unknown stage keeps the law's levels", "2 5 0.3", 0, "2 5 0.3000", Levels::Guided},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    world_.reset();
    const Pose p{300, {0, -40, 3}, tc.pitch_deg * RAD, 0, {0.01, 0, 0}};
    host::Vessel& lander = LoadLander(std::string("  DSC ") + tc.dsc + "\n", p);
    ASSERT_NEAR(lander.iface->GetPitch(), p.pitch, 1e-12);
    PreStep(lander, kDt);
    EXPECT_EQ(SavedDsc().text, tc.after);
    ExpectLevels(lander, tc.levels, p);
  }
  // a pitch above 40 degrees in the pitch-up burn reaches the guided burn at the next call
  world_.reset();
  const Pose steep{300, {0, -40, 3}, 45 * RAD, 0, {0, 0, 0}};
  host::Vessel& lander = LoadLander("  DSC 2 0 0.1\n", steep);
  PreStep(lander, kDt);
  PreStep(lander, kDt);
  EXPECT_EQ(SavedDsc().text, "2 2 0.0000");
}

// With a step of 0.02 s the engines fire in three steps and rest in the next three; the first on
// half also holds the step into the powered descent, in which the pulse timer does not advance.
TEST_F(DescentTest, PulseCycleAtAConstantStep) {
  host::Vessel& lander = LoadLander("  DSC 1 0 0.99\n", {300, {0, -40, 0}});
  std::string fired;
  for (int i = 0; i < 22; ++i) {
    PreStep(lander, kDt);
    fired += Level(lander, 0) > 0 ? '1' : '0';
  }
  EXPECT_EQ(fired, "1111000111000111000111");
  // the off half sets all three clusters to 0, the on half the stage's levels
  ExpectLevels(lander, Levels::PitchUp, {});
  PreStep(lander, kDt);
  ExpectLevels(lander, Levels::Off, {});
}

// The law gets the host's quantities in the right frames: levels as computed from the pose.
TEST_F(DescentTest, GuidedBurnActsOnWhatTheHostReports) {
  const Pose poses[] = {
      {120, {1.5, -12, -2}, 10 * RAD, -5 * RAD, {0.02, 0.01, -0.03}},
      {40, {-3, -6, 4}, -8 * RAD, 12 * RAD, {-0.05, 0, 0.04}},
      {4.5, {0.2, -1.5, 0.1}, 2 * RAD, 1 * RAD, {0.001, 0, 0.002}},
      {3, {0, 0, 0}, 0, 0, {0, 0, 0}},
  };
  for (const Pose& p : poses) {
    SCOPED_TRACE(p.h);
    world_.reset();
    host::Vessel& lander = LoadLander("  DSC 2 2 0.0000\n", p);
    PreStep(lander, kDt);
    ExpectLevels(lander, Levels::Guided, p);
  }
}

// Hovering level at 3 m: each cluster 2 G / 3600, or 1.0 when G is above 1800 N; descending at
// exactly 1 m/s at 10 m likewise.
TEST_F(DescentTest, HoverLevelsFollowTheWeight) {
  const struct {
    double gravity_scale;
    Pose pose;
  } cases[] = {
      {1.0, {3, {0, 0, 0}}},
      {1.0, {10, {0, -1, 0}}},
      {2.0, {3, {0, 0, 0}}},
  };
  for (const auto& tc : cases) {
    world_.reset();
    Mars().gm *= tc.gravity_scale;
    host::Vessel& lander = LoadLander("  DSC 2 2 0.0000\n", tc.pose);
    const double G = Weight(lander, tc.pose.h);
    SCOPED_TRACE(G);
    PreStep(lander, kDt);
    const double each = G <= 1800 ? 2 * G / 3600 : 1.0;
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(Level(lander, k), each, 1e-9);
  }
}

// Switched on below 6 m, and switched off again below 1.9 m in the same call. The body is shrunk
// to a radius of 1 m so that heights of 6 and 1.9 m come out exact.
TEST_F(DescentTest, HorizonLevelModeNearTheGround) {
  const struct {
    double h;
    bool on_before, on_after;
    std::vector<bool> events;
  } cases[] = {
      {7, false, false, {}},       {7, true, true, {}},
      {6, false, false, {}},       {6, true, true, {}},
      {5.5, false, true, {true}},  {2, false, true, {true}},
      {1.9, false, true, {true}},  {1.8, false, false, {true, false}},
      {1.8, true, false, {false}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(testing::Message() << tc.h << (tc.on_before ? " on" : " off"));
    world_.reset();
    Mars().radius = 1;
    host::Vessel& lander = LoadLander("  DSC 2 2 0.0000\n", {tc.h, {0, -0.5, 0}});
    const double h = lander.iface->GetAltitude(ALTMODE_GROUND);
    ASSERT_NEAR(h, tc.h, 1e-12);
    if (tc.h == 6 || tc.h == 1.9) {
      ASSERT_EQ(h, tc.h);  // exactly at the threshold
    }
    if (tc.on_before) lander.iface->ActivateNavmode(NAVMODE_HLEVEL);
    const std::size_t before = NavmodeEvents().size();
    PreStep(lander, kDt);
    EXPECT_EQ(LevelMode(lander), tc.on_after);
    const std::vector<bool> all = NavmodeEvents();
    EXPECT_EQ(std::vector<bool>(all.begin() + static_cast<long>(before), all.end()), tc.events);
  }
}

// Rising again within 2.5 m of the ground: main group off, landed, horizon-level mode off, and no
// cluster levels set in that call; from then on the main group is held at 0.
TEST_F(DescentTest, TouchdownWhenRisingCloseToTheGround) {
  const struct {
    const char* name;
    const char* dsc;
    double h, u;
    const char* after;
  } cases[] = {
      {"rising at 2.4 m", "2 2 0.0", 2.4, 0.01, "3 2 0.0000"},
      {"rising at 1 m", "2 2 0.0", 1.0, 0.3, "3 2 0.0000"},
      {"rising during the pitch-up burn: the stage timer still counts", "2 0 0.1", 2.4, 0.01, "3 0 0.1200"},
      {"not moving at 2.4 m", "2 2 0.0", 2.4, 0.0, "2 2 0.0000"},
      {"rising at exactly 2.5 m", "2 2 0.0", 2.5, 0.01, "2 2 0.0000"},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    world_.reset();
    const Pose p{tc.h, {0, tc.u, 0}};
    host::Vessel& lander = LoadLander(std::string("  DSC ") + tc.dsc + "\n", p);
    lander.iface->ActivateNavmode(NAVMODE_HLEVEL);
    SetLevels(lander, 0.7);
    PreStep(lander, kDt);
    EXPECT_EQ(SavedDsc().text, tc.after);
    const bool landed = tc.after[0] == '3';
    if (landed) {
      for (int k = 0; k < 3; ++k) EXPECT_EQ(Level(lander, k), 0.0);
      EXPECT_FALSE(LevelMode(lander));
      // held off at every later step, whatever else sets them
      SetLevels(lander, 0.5);
      PreStep(lander, kDt);
      for (int k = 0; k < 3; ++k) EXPECT_EQ(Level(lander, k), 0.0);
    } else {
      EXPECT_TRUE(LevelMode(lander));
      EXPECT_NE(Level(lander, 0), 0.7);
    }
  }
}

TEST_F(DescentTest, LoadedLandedLanderHoldsItsEnginesOff) {
  host::Vessel& lander = LoadLander("  DSC 3 2 0.0000\n", {0.5, {0, 0, 0}});
  SetLevels(lander, 0.6);
  PreStep(lander, kDt);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Level(lander, k), 0.0);

  // a state the lander does not know runs no step logic
  world_.reset();
  host::Vessel& odd = LoadLander("  DSC 7 0 0.0000\n", {0.5, {0, 0, 0}});
  SetLevels(odd, 0.6);
  for (int i = 0; i < 10; ++i) PreStep(odd, kDt);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Level(odd, k), 0.6);
  EXPECT_EQ(SavedDsc().text, "7 0 0.0000");
}

}  // namespace

// Whole descents with the host's physics, from the release: coast, pitch-up, full-thrust and
// guided burns down to the stop height, cut-off when rising again below 2.5 m, then a free fall
// onto the touchdown points, 0.1 m below the centre.
TEST_F(DescentTest, ReleasedLanderFliesDownAndDropsFromItsCutOff) {
  constexpr double kContactHeight = 0.1;  // m: the touchdown points' depth below the centre
  const Pose releases[] = {
      {1000, {0, -40, 0}},
      {1000, {0, -40, 3}},
      {1200, {0, -50, 0}},
  };
  for (const Pose& release : releases) {
    SCOPED_TRACE(testing::Message() << release.h << " m, " << -release.v.y << " m/s");
    world_.reset();
    host::Vessel& lander = LoadLander("  DSC 1 0 0.0000\n", release);
    double h_cut = 0, u_cut = 0;
    bool landed = false;
    for (int i = 0; i < 8000 && !landed; ++i) {
      VECTOR3 vh;
      lander.iface->GetGroundspeedVector(FRAME_HORIZON, vh);
      h_cut = lander.iface->GetAltitude(ALTMODE_GROUND);
      u_cut = vh.y;
      World().Step(0.01);
      landed = SavedDsc().descent_state == 3;
    }
    ASSERT_TRUE(landed);
    // cut off between the stop height and 2.5 m, rising again, level
    EXPECT_GT(h_cut, 1.8);
    EXPECT_LT(h_cut, 2.5);
    EXPECT_GT(u_cut, 0);
    EXPECT_NEAR(lander.iface->GetPitch(), 0, 1 * RAD);
    EXPECT_NEAR(lander.iface->GetBank(), 0, 1 * RAD);
    EXPECT_FALSE(LevelMode(lander));
    EXPECT_GT(lander.PropellantMass(), 0);

    // free fall onto the points: v^2 = u^2 + 2 g (h_cut - 0.1)
    Run(2.0);
    const auto touchdowns = World().Events().Named("touchdown");
    ASSERT_EQ(touchdowns.size(), 1u);
    const double g = Mars().gm / std::pow(Mars().radius, 2);
    const double expected = -std::sqrt(u_cut * u_cut + 2 * g * (h_cut - kContactHeight));
    const double vspeed = std::get<double>(*touchdowns[0]->Find("vspeed"));
    std::printf(
        "released at %.0f m, %.0f m/s: cut-off at %.3f m rising %.3f m/s, %.2f kg left, touchdown %.3f m/s "
        "(free fall %.3f)\n",
        release.h, -release.v.y, h_cut, u_cut, lander.PropellantMass(), vspeed, expected);
    EXPECT_NEAR(vspeed, expected, 0.02 * -expected);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Level(lander, k), 0.0);
  }
}
