// The bus's frame logic through its callbacks: wings unfolding and tracking the Sun, the antenna
// deploying, pointing at the Earth and stowing, the rotation stop and the rate commands.
#include <cmath>
#include <vector>

#include "bus_fixture.h"

namespace {

using bus_testing::BusTest;
using bus_testing::kHgaAzimuth;
using bus_testing::kHgaDeploy;
using bus_testing::kHgaElevation;
using bus_testing::kSolarDeploy;
using bus_testing::kSolarRotation;

class BusStepTest : public BusTest {
 protected:
  // Turns the bus so that a body is seen in the given direction of the bus frame.
  void See(host::Vessel& bus, const VECTOR3& local, const VECTOR3& global_target) {
    Turn(bus, Showing(local, global_target - GlobalPos(bus)));
  }
  void SeeSun(host::Vessel& bus, const VECTOR3& local) { See(bus, local, {0, 0, 0}); }
  void SeeEarth(host::Vessel& bus, const VECTOR3& local) { See(bus, local, BodyPos("Earth")); }
};

TEST_F(BusStepTest, WingsUnfoldInTwentySecondsThenTurnToTheSun) {
  host::Vessel& bus = NewBus();
  SeeSun(bus, {0, -1, 0});
  ASSERT_EQ(Press(bus, OAPI_KEY_G), 1);

  // the step in which the fold passes 1 spreads the wing area and ends the deployment
  const double dt = 0.1;
  int steps = 0;
  while (WingArea(bus, 0) == 3 && steps < 1000) {
    PreStep(bus, dt);
    ++steps;
    if (WingArea(bus, 0) == 3) {
      EXPECT_NEAR(AnimState(bus, kSolarDeploy), 0.05 * dt * steps, 1e-9);
    }
  }
  EXPECT_GT(steps * dt, 20 - 1e-9);
  EXPECT_LE(steps * dt, 20 + dt + 1e-9);
  EXPECT_EQ(WingArea(bus, 1), 6);
  EXPECT_EQ(bus.config.airfoils[0]->ref.z, 0.1);
  EXPECT_EQ(AnimState(bus, kSolarDeploy), 1);
  EXPECT_EQ(Saved().slp, "2 1.0000 0.0000");
  // the array turns from the next step on, at 9 degrees per second
  EXPECT_EQ(AnimState(bus, kSolarRotation), 0);
  PreStep(bus, dt);
  EXPECT_NEAR(AnimState(bus, kSolarRotation), 0.025 * dt, 1e-15);

  // a quarter turn in 10 s, and it stays there
  PreSteps(bus, 11, dt);
  EXPECT_NEAR(AnimState(bus, kSolarRotation), 0.25, 1e-9);
  const double tracked = AnimState(bus, kSolarRotation);
  PreSteps(bus, 5, dt);
  EXPECT_EQ(AnimState(bus, kSolarRotation), tracked);

  // locked at the half turn, then tracking again
  Press(bus, OAPI_KEY_G);
  PreSteps(bus, 11, dt);
  EXPECT_EQ(AnimState(bus, kSolarRotation), 0.5);
  EXPECT_EQ(Saved().solar_state, 3);
  Press(bus, OAPI_KEY_G);
  PreSteps(bus, 11, dt);
  EXPECT_NEAR(AnimState(bus, kSolarRotation), 0.25, 1e-9);
  // switching between tracking and locked leaves the spread area alone
  EXPECT_EQ(WingArea(bus, 0), 6);
}

TEST_F(BusStepTest, ArrayTracksTheSunWhereverItIs) {
  const struct {
    VECTOR3 sun;  // in the bus frame
    double target;
  } cases[] = {{{0, 1, 0}, 0.75}, {{0, 0, 1}, 0.5}, {{5, -3, -4}, 0.10242}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    world_.reset();
    host::Vessel& bus = LoadBus("  SLP 2 1.0 0.0\n");
    SeeSun(bus, c.sun);
    PreSteps(bus, 25, 0.1);  // at most half a turn: 20 s
    EXPECT_NEAR(AnimState(bus, kSolarRotation), c.target, 5e-6);
  }
}

TEST_F(BusStepTest, AntennaDeploysInTenSecondsThenPointsAtTheEarth) {
  const struct {
    VECTOR3 earth;  // in the bus frame
    double elevation, azimuth;
  } cases[] = {
      {{0, 1, 0}, 0.84, 0.5},
      {{0.3, 0.5, 0.8}, 0.51781, 0.54900},
      {{1, 0.5, -0.2}, 0.95, 0.67142},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "earth " << c.earth.x << " " << c.earth.y << " " << c.earth.z);
    world_.reset();
    host::Vessel& bus = NewBus();
    SeeEarth(bus, c.earth);
    ASSERT_EQ(Press(bus, OAPI_KEY_K), 1);

    // the mount swings out alone
    const double dt = 0.1;
    int steps = 0;
    while (Saved().hga_state == 1 && steps < 1000) {
      PreStep(bus, dt);
      ++steps;
    }
    EXPECT_GT(steps * dt, 10 - 1e-9);
    EXPECT_LE(steps * dt, 10 + dt + 1e-9);
    EXPECT_EQ(AnimState(bus, kHgaDeploy), 1);
    EXPECT_EQ(AnimState(bus, kHgaElevation), 0.34);
    EXPECT_EQ(AnimState(bus, kHgaAzimuth), 0);

    // then the dish turns, at most 9 degrees per second on each joint
    double elevation = 0.34, azimuth = 0;
    for (int i = 0; i < 250; ++i) {
      PreStep(bus, dt);
      EXPECT_LE(std::fabs(AnimState(bus, kHgaElevation) - elevation), 0.05 * dt + 1e-12);
      const double da = std::fabs(AnimState(bus, kHgaAzimuth) - azimuth);
      EXPECT_LE(std::fmin(da, 1 - da), 0.025 * dt + 1e-12);
      elevation = AnimState(bus, kHgaElevation);
      azimuth = AnimState(bus, kHgaAzimuth);
    }
    EXPECT_NEAR(elevation, c.elevation, 5e-6);
    EXPECT_NEAR(azimuth, c.azimuth, 5e-6);
    EXPECT_EQ(AnimState(bus, kHgaDeploy), 1);
    EXPECT_EQ(Saved().hga_state, 2);
  }
}

TEST_F(BusStepTest, AntennaWithoutAnEarthPointsAlongMinusZ) {
  host::Vessel& bus = LoadBus("  ANT 2 1.0 0.6 0.3\n");
  SeeEarth(bus, {0, 1, 0});
  World().FindBody("Earth")->name = "Terra";
  PreSteps(bus, 30, 0.1);
  EXPECT_EQ(AnimState(bus, kHgaElevation), 0.34);
  EXPECT_EQ(AnimState(bus, kHgaAzimuth), 0);
}

TEST_F(BusStepTest, EarthAlongTheXAxisHoldsTheElevationAndTurnsTheDish) {
  const struct {
    VECTOR3 earth;
    double azimuth;
  } cases[] = {{{1, 0, 0}, 0.75}, {{-1, 0, 0}, 0.25}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.azimuth);
    world_.reset();
    host::Vessel& bus = LoadBus("  ANT 2 1.0 0.6 0.5\n");
    // the bus square to the global axes and the Earth moved onto its x axis, so that its
    // direction in the bus frame has y and z exactly 0
    Turn(bus, host::Identity3());
    World().FindBody("Earth")->pos = GlobalPos(bus) + c.earth * 1e11;
    VECTOR3 seen;
    bus.iface->Global2Local(BodyPos("Earth"), seen);
    ASSERT_EQ(seen.y, 0);
    ASSERT_EQ(seen.z, 0);
    PreSteps(bus, 20, 0.1);
    EXPECT_EQ(AnimState(bus, kHgaElevation), 0.6);
    EXPECT_NEAR(AnimState(bus, kHgaAzimuth), c.azimuth, 1e-12);
  }
}

// Azimuth to its nearer end, then elevation home, then the mount folds in 10 s.
TEST_F(BusStepTest, StowingRunsAzimuthThenElevationThenMount) {
  host::Vessel& bus = LoadBus("  ANT 3 1.0 0.84 0.4\n");
  const double dt = 0.1;
  enum Phase { kAzimuth, kElevation, kMount, kStowed } phase = kAzimuth;
  double seconds[4] = {};
  for (int i = 0; i < 600 && phase != kStowed; ++i) {
    const double el = AnimState(bus, kHgaElevation), dep = AnimState(bus, kHgaDeploy);
    PreStep(bus, dt);
    const double az1 = AnimState(bus, kHgaAzimuth), el1 = AnimState(bus, kHgaElevation),
                 dep1 = AnimState(bus, kHgaDeploy);
    if (phase == kAzimuth) {
      EXPECT_EQ(dep1, 1);
      if (az1 == 0) phase = kElevation;
      if (az1 != 0) {
        EXPECT_EQ(el1, el);
      }
    } else if (phase == kElevation) {
      EXPECT_EQ(az1, 0);
      if (el1 == 0.34) phase = kMount;
      if (el1 != 0.34) {
        EXPECT_EQ(dep1, dep);
      }
    } else {
      EXPECT_EQ(az1, 0);
      EXPECT_EQ(el1, 0.34);
      EXPECT_LT(dep1, dep + 1e-15);
      if (Saved().hga_state == 0) phase = kStowed;
    }
    seconds[phase] += dt;
  }
  ASSERT_EQ(phase, kStowed);
  // 0.4 turns at 0.025 per s; 0.5 of elevation at 0.05 per s; the mount at 0.1 per s
  EXPECT_NEAR(seconds[kAzimuth], 16, dt + 1e-9);
  EXPECT_NEAR(seconds[kElevation], 10, dt + 1e-9);
  EXPECT_NEAR(seconds[kMount], 10, 2 * dt + 1e-9);
  EXPECT_EQ(Saved().ant, "0 0.0000 0.3400 0.0000");
}

TEST_F(BusStepTest, StowingTurnsTheAzimuthToTheNearerEnd) {
  const struct {
    const char* ant;
    double direction;  // of the first azimuth step
  } cases[] = {{"  ANT 3 1.0 0.34 0.3\n", -1}, {"  ANT 3 1.0 0.34 0.5\n", 1}, {"  ANT 3 1.0 0.34 0.8\n", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ant);
    world_.reset();
    host::Vessel& bus = LoadBus(c.ant);
    const double before = AnimState(bus, kHgaAzimuth);
    PreStep(bus, 0.1);
    EXPECT_NEAR(AnimState(bus, kHgaAzimuth) - before, c.direction * 0.0025, 1e-12);
    PreSteps(bus, 30, 0.1);
    EXPECT_EQ(AnimState(bus, kHgaAzimuth), 0);
  }
}

TEST_F(BusStepTest, RotationStopBrakesAtTwoDegreesPerSecondSquaredAndSwitchesOff) {
  host::Vessel& bus = NewBus();
  bus.iface->SetAngularVel({0.1, -0.01, 0});
  ASSERT_EQ(Press(bus, OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}), 1);
  auto notice = [&] {
    for (const host::HudText& t : World().DrawHud(bus))
      if (t.text.find("Kill Rot.Active") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(notice());

  const double dt = 0.5, h = dt * 2 * kDegToRad;
  World().Step(dt);
  EXPECT_NEAR(bus.state.kin.omega.x, 0.1 - h, 1e-15);
  EXPECT_EQ(bus.state.kin.omega.y, 0);  // 0.01 is below one step's change
  EXPECT_NEAR(bus.state.kin.omega.z, 0, 1e-18);
  EXPECT_TRUE(notice());

  // 0.1 rad/s at 2 degrees per second squared: gone within 2.9 s
  for (int i = 0; i < 5; ++i) World().Step(dt);
  EXPECT_EQ(bus.state.kin.omega.x, 0);
  EXPECT_FALSE(notice());

  // the key switches the stop off as well
  bus.iface->SetAngularVel({0.1, 0, 0});
  Press(bus, OAPI_KEY_NUMPAD5, {OAPI_KEY_RSHIFT});
  Press(bus, OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT});
  World().Step(dt);
  EXPECT_NEAR(bus.state.kin.omega.x, 0.1, 1e-15);
}

TEST_F(BusStepTest, ShiftKeypadCommandsTheRatesWithinTenDegreesPerSecond) {
  const double dt = 0.5, h = dt * 2 * kDegToRad, L = 10 * kDegToRad;
  const struct {
    const char* name;
    std::vector<int> keys;
    VECTOR3 before, after;
  } cases[] = {
      {"no Shift: nothing", {OAPI_KEY_NUMPAD2}, {0.05, 0, 0}, {0.05, 0, 0}},
      {"2 raises x", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2}, {0.05, 0, 0}, {0.05 + h, 0, 0}},
      {"8 lowers x", {OAPI_KEY_RSHIFT, OAPI_KEY_NUMPAD8}, {0.05, 0, 0}, {0.05 - h, 0, 0}},
      {"1 raises y", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD1}, {0, 0, 0}, {0, h, 0}},
      {"3 lowers y", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD3}, {0, 0, 0}, {0, -h, 0}},
      {"6 raises z", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD6}, {0, 0, 0}, {0, 0, h}},
      {"4 lowers z", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD4}, {0, 0, 0}, {0, 0, -h}},
      {"2 stops at the limit", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2}, {L - h / 2, 0, 0}, {L, 0, 0}},
      {"4 stops at the limit", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD4}, {0, 0, -L + h / 2}, {0, 0, -L}},
      {"2 beyond the limit: kept", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2}, {0.3, 0, 0}, {0.3, 0, 0}},
      {"8 beyond the other limit: acts", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD8}, {0.3, 0, 0}, {0.3 - h, 0, 0}},
      {"2 and 8: unchanged", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2, OAPI_KEY_NUMPAD8}, {0.05, 0, 0}, {0.05, 0, 0}},
      {"2 and 8 at the limit", {OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2, OAPI_KEY_NUMPAD8}, {L - h / 2, 0, 0}, {L - h, 0, 0}},
  };
  host::Vessel& bus = NewBus();
  World().Step(dt);  // the rate step is the length of the current step
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bus.iface->SetAngularVel(c.before);
    char kstate[256] = {};
    for (int k : c.keys) kstate[k] = static_cast<char>(0x80);
    EXPECT_EQ(bus.Callbacks()->clbkConsumeDirectKey(kstate), 0);
    EXPECT_NEAR(bus.state.kin.omega.x, c.after.x, 1e-15);
    EXPECT_NEAR(bus.state.kin.omega.y, c.after.y, 1e-15);
    EXPECT_NEAR(bus.state.kin.omega.z, c.after.z, 1e-15);
  }
}

}  // namespace
