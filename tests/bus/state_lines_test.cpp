// The bus's scenario lines: what loading restores and pushes to the animations, what
// post-creation re-applies, what saving writes, and motions that carry on after a reload.
#include <string>

#include "bus_fixture.h"

namespace {

using bus_testing::BusTest;
using bus_testing::kHgaAzimuth;
using bus_testing::kHgaDeploy;
using bus_testing::kHgaElevation;
using bus_testing::kSolarDeploy;
using bus_testing::kSolarRotation;

TEST_F(BusTest, LoadingTakesTheLinesAsWritten) {
  const struct {
    const char* name;
    const char* lines;
    const char* ant;
    const char* slp;
    const char* vlq;
  } cases[] = {
      {"no lines: the first values", "", "0 0.0000 0.3400 0.0000", "0 0.0000 0.0000", "0"},
      {"all three", "  ANT 2 1.0 0.6 0.25\n  SLP 3 1.0 0.5\n  VLQ 1\n", "2 1.0000 0.6000 0.2500", "3 1.0000 0.5000",
       "1"},
      {"lower case keys", "  ant 1 0.5 0.34 0\n  slp 1 0.25 0\n  vlq 1\n", "1 0.5000 0.3400 0.0000", "1 0.2500 0.0000",
       "1"},
      {"key only", "  ANT\n  SLP\n", "0 0.0000 0.3400 0.0000", "0 0.0000 0.0000", "0"},
      {"one integer", "  ANT 3\n", "3 0.0000 0.3400 0.0000", "0 0.0000 0.0000", "0"},
      {"malformed value ends the line", "  SLP 2 x 0.7\n", "0 0.0000 0.3400 0.0000", "2 0.0000 0.0000", "0"},
      {"later line wins", "  ANT 1 0.2 0.3 0.4\n  ANT 2 1 0.5\n", "2 1.0000 0.5000 0.4000", "0 0.0000 0.0000", "0"},
      {"out of range kept", "  ANT 9 1.5 -0.2 3\n  SLP -1 2 -0.5\n", "9 1.5000 -0.2000 3.0000", "-1 2.0000 -0.5000",
       "0"},
      {"rounded to four places", "  SLP 2 1 0.123456\n", "0 0.0000 0.3400 0.0000", "2 1.0000 0.1235", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    world_.reset();
    LoadBus(c.lines);
    const bus_testing::BusLines saved = Saved();
    EXPECT_EQ(saved.ant, c.ant);
    EXPECT_EQ(saved.slp, c.slp);
    EXPECT_EQ(saved.vlq, c.vlq);
  }
}

TEST_F(BusTest, LoadedStatesReachTheAnimations) {
  host::Vessel& bus = LoadBus("  ANT 3 0.7 0.6 0.25\n  SLP 1 0.4 0.8\n");
  EXPECT_EQ(AnimState(bus, kHgaDeploy), 0.7);
  EXPECT_EQ(AnimState(bus, kHgaElevation), 0.6);
  EXPECT_EQ(AnimState(bus, kHgaAzimuth), 0.25);
  EXPECT_EQ(AnimState(bus, kSolarDeploy), 0.4);
  EXPECT_EQ(AnimState(bus, kSolarRotation), 0.8);

  world_.reset();
  host::Vessel& plain = LoadBus("");
  const double first[5] = {0, 0, 0, 0.34, 0};
  for (int a = 0; a < 5; ++a) EXPECT_EQ(plain.config.animations[a]->state, first[a]) << a;
}

TEST_F(BusTest, PostCreationReappliesMassMeshAndWingArea) {
  const struct {
    const char* lines;
    double empty_mass;
    bool back_shell;
    double wing_area;
  } cases[] = {
      {"  VLQ 0\n", 1932, true, 3},       {"  VLQ 1\n", 1332, false, 3},
      {"  SLP 2 1 0.3\n", 1932, true, 6}, {"  SLP 3 1 0.5\n", 1932, true, 3},  // only the tracking state is re-applied
      {"  SLP 1 0.99\n", 1932, true, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    world_.reset();
    const host::Vessel& bus = LoadBus(c.lines);
    EXPECT_EQ(bus.config.empty_mass, c.empty_mass);
    EXPECT_EQ(bus.config.meshes[1].present, c.back_shell);
    EXPECT_EQ(WingArea(bus, 0), c.wing_area);
    EXPECT_EQ(WingArea(bus, 1), c.wing_area);
  }
}

TEST_F(BusTest, SavedBlockHasStandardLinesFirstThenTheThreeKeys) {
  NewBus();
  const std::string saved = World().SaveScenario();
  const std::size_t block = saved.find("Bus:QUARN/quarn_bus\n");
  ASSERT_NE(block, std::string::npos);
  const std::string bus = saved.substr(block, saved.find("END\n", block) - block);
  const std::size_t status = bus.find("  STATUS "), ant = bus.find("  ANT 0 0.0000 0.3400 0.0000\n"),
                    slp = bus.find("  SLP 0 0.0000 0.0000\n"), vlq = bus.find("  VLQ 0\n");
  ASSERT_NE(ant, std::string::npos);
  ASSERT_NE(slp, std::string::npos);
  ASSERT_NE(vlq, std::string::npos);
  EXPECT_LT(status, ant);
  EXPECT_LT(ant, slp);
  EXPECT_LT(slp, vlq);
}

// A bus saved with its wings half spread and its antenna stowing finishes both motions after
// a reload.
TEST_F(BusTest, MotionsCarryOnAfterAReload) {
  host::Vessel& bus = NewBus();
  Press(bus, OAPI_KEY_K);
  Press(bus, OAPI_KEY_G);
  PreSteps(bus, 10, 0.1);  // the antenna is out, the wings half spread
  Press(bus, OAPI_KEY_K);
  PreStep(bus, 0.1);
  const std::string saved = World().SaveScenario();
  const bus_testing::BusLines before = Saved();
  ASSERT_EQ(before.solar_state, 1);
  ASSERT_EQ(before.hga_state, 3);

  world_.reset();
  Load(saved);
  World().FinishCreation();
  host::Vessel& again = *World().FindByName("Bus");
  EXPECT_EQ(Saved().ant, before.ant);
  EXPECT_EQ(Saved().slp, before.slp);

  // wings: 0.5 spread left at 0.05 per s
  const double dt = 0.1;
  int steps = 0;
  while (Saved().solar_state == 1 && steps < 500) {
    PreStep(again, dt);
    ++steps;
  }
  EXPECT_NEAR(steps * dt, (1 - before.solar_deploy) / 0.05, dt + 1e-9);
  EXPECT_EQ(WingArea(again, 0), 6);
  // the antenna has turned home and folds in at about the same time
  PreSteps(again, 2, dt);
  EXPECT_EQ(Saved().ant, "0 0.0000 0.3400 0.0000");
}

TEST_F(BusTest, HalfDeployedAntennaIsOutFiveSecondsAfterLoading) {
  host::Vessel& bus = LoadBus("  ANT 1 0.5 0.34 0\n");
  const double dt = 0.1;
  int steps = 0;
  while (Saved().hga_state == 1 && steps < 500) {
    PreStep(bus, dt);
    ++steps;
  }
  EXPECT_NEAR(steps * dt, 5, dt + 1e-9);
  EXPECT_EQ(AnimState(bus, kHgaDeploy), 1);
}

TEST_F(BusTest, TrackingStatesResumeAfterAReload) {
  host::Vessel& bus = NewBus();
  Press(bus, OAPI_KEY_G);
  Press(bus, OAPI_KEY_K);
  PreSteps(bus, 30, 0.1);
  const std::string saved = World().SaveScenario();
  const bus_testing::BusLines before = Saved();
  ASSERT_EQ(before.solar_state, 2);
  ASSERT_EQ(before.hga_state, 2);

  world_.reset();
  Load(saved);
  World().FinishCreation();
  host::Vessel& again = *World().FindByName("Bus");
  EXPECT_EQ(WingArea(again, 0), 6);
  PreSteps(again, 60, 0.1);
  const bus_testing::BusLines after = Saved();
  EXPECT_EQ(after.solar_state, 2);
  EXPECT_EQ(after.hga_state, 2);
  EXPECT_EQ(after.hga_deploy, 1);
}

}  // namespace
