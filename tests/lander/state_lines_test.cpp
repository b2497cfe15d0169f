// The lander's "DSC" line: what loading restores, what saving writes, and a save and reload at
// every phase of the descent.
#include <string>

#include "lander_fixture.h"

namespace {

using lander_testing::LanderTest;
using lander_testing::Pose;

TEST_F(LanderTest, LoadingTakesTheDscLineAsWritten) {
  const struct {
    const char* name;
    const char* lines;
    const char* saved;
  } cases[] = {
      {"no line: the first values", "", "0 0 0.0000"},
      {"all three", "  DSC 2 1 0.3141\n", "2 1 0.3141"},
      {"lower case, state only", "  dsc 2\n", "2 0 0.0000"},
      {"key only", "  DSC\n", "0 0 0.0000"},
      {"malformed stage", "  DSC 1 x 0.5\n", "1 0 0.0000"},
      {"later line wins", "  DSC 1 0 0.25\n  DSC 3 2 0\n", "3 2 0.0000"},
      {"rounded to four places", "  DSC 1 0 0.123456\n", "1 0 0.1235"},
      {"out of range kept", "  DSC 7 -1 12.5\n", "7 -1 12.5000"},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    world_.reset();
    LoadLander(tc.lines);
    EXPECT_EQ(SavedDsc().text, tc.saved);
  }
}

TEST_F(LanderTest, SavedBlockHasStandardLinesFirstThenDsc) {
  NewLander();
  const std::string saved = World().SaveScenario();
  const std::size_t block = saved.find("Velquin:QUARN/quarn_vlqn\n");
  ASSERT_NE(block, std::string::npos);
  const std::string lander = saved.substr(block, saved.find("END\n", block) - block);
  EXPECT_LT(lander.find("  STATUS "), lander.find("  DSC 0 0 0.0000\n"));
  EXPECT_NE(lander.find("  DSC 0 0 0.0000\n"), std::string::npos);
}

// A lander flown through every phase with its pre-step alone, saved at each, reloaded in a fresh
// world: the reload saves the same line.
TEST_F(LanderTest, SaveAndReloadAtEveryPhase) {
  host::Body& mars = Mars();
  AddClass("lander_test_capsule", "EmptyMass = 500\nSize = 1\nAttachment = 0 0 0 0 0 -1 0 0 0 1 BS\n");
  const Pose falling{500, {0, -20, 0}};
  host::Vessel& lander = NewLander(falling);
  VESSELSTATUS vs{};
  vs.rbody = World().BodyHandle(mars);
  vs.rpos = lander.state.kin.rpos;
  host::Vessel& capsule = World().CreateVessel("Capsule", "lander_test_capsule", vs);
  ATTACHMENTHANDLE bs = capsule.iface->GetAttachmentHandle(false, 0);
  ASSERT_TRUE(capsule.iface->AttachChild(World().Handle(lander), bs, lander.iface->GetAttachmentHandle(true, 0)));

  const struct {
    const char* phase;
    int steps;  // pre-steps of 0.125 s before saving
    bool release;
    const char* saved;
  } phases[] = {
      {"attached", 2, false, "0 0 0.0000"},         {"released", 1, true, "1 0 0.0000"},
      {"coasting", 4, false, "1 0 0.5000"},         {"pitch-up burn", 8, false, "2 0 0.3750"},
      {"full-thrust burn", 4, false, "2 1 0.2500"}, {"guided burn", 16, false, "2 2 0.0000"},
  };
  for (const auto& p : phases) {
    SCOPED_TRACE(p.phase);
    if (p.release) {
      capsule.iface->DetachChild(bs, 0.0);
      Put(lander, falling);
    }
    for (int i = 0; i < p.steps; ++i) PreStep(lander, 0.125);
    EXPECT_EQ(SavedDsc().text, p.saved);

    const std::string text = World().SaveScenario();
    host::World again({dir_.string(), testing_support::BuildLibDir(), lander_testing::kMjd});
    again.LoadScenario(host::ParseScenario(text, "saved.scn"));
    const std::string resaved = again.SaveScenario();
    EXPECT_NE(resaved.find(std::string("  DSC ") + p.saved + "\n"), std::string::npos) << resaved;
  }

  // landed: rising again 2 m above the ground
  Put(lander, {2.0, {0, 0.5, 0}});
  PreStep(lander, 0.125);
  EXPECT_EQ(SavedDsc().text, "3 2 0.0000");
}

// The pitch-up burn counts on from the loaded stage timer, so it lasts only what remains of its
// 0.5 s.
TEST_F(LanderTest, LoadedPitchUpBurnLastsWhatRemains) {
  const struct {
    const char* dsc;
    int pitch_up_calls;  // of 0.125 s: the stage ends at the first call finding more than 0.5 s
  } cases[] = {{"  DSC 2 0 0.0000\n", 5}, {"  DSC 2 0 0.2500\n", 3}, {"  DSC 2 0 0.5000\n", 1}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.dsc);
    world_.reset();
    host::Vessel& lander = LoadLander(tc.dsc, {500, {0, -20, 0}});
    int calls = 0;
    for (;;) {
      PreStep(lander, 0.125);
      if (SavedDsc().burn_stage != 0) break;
      ++calls;
      ASSERT_LT(calls, 10);
    }
    EXPECT_EQ(calls, tc.pitch_up_calls);
  }
}

}  // namespace
