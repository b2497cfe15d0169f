// The arithmetic of the bus's step logic: the array and antenna targets from the Sun and Earth
// directions, the circular and linear steps, and the rotation stop.
#include <gtest/gtest.h>

#include <cmath>

#include "step_rules.h"

namespace {

using bus::Closeness;

TEST(BusStepRules, ArrayTargetFacesTheSun) {
  const struct {
    VECTOR3 sun;
    int state;
    double target;
  } cases[] = {
      {{0, -1, 0}, 2, 0.25}, {{0, 1, 0}, 2, 0.75},      {{0, 0, 1}, 2, 0.5},
      {{0, 0, -1}, 2, 0.0},  {{5, -3, -4}, 2, 0.10242}, {{0, -7, 0}, 4, 0.25},  // states above 3 track
      {{0, -1, 0}, 3, 0.5},  {{5, -3, -4}, 3, 0.5},                             // locked at the half turn
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "sun " << c.sun.x << " " << c.sun.y << " " << c.sun.z << " state " << c.state);
    EXPECT_NEAR(bus::SolarTarget(c.sun, c.state), c.target, 5e-6);
  }
}

TEST(BusStepRules, AntennaTargetsPointAtTheEarth) {
  const struct {
    VECTOR3 earth;
    double elevation, azimuth;
  } cases[] = {
      {{0, 1, 0}, 0.84, 0.5},
      {{0, 3, 0}, 0.84, 0.5},  // any length
      {{0.3, 0.5, 0.8}, 0.51781, 0.54900},
      {{1, 0.5, -0.2}, 0.95, 0.67142},  // elevation capped
      {{0, 0, -1}, 0.34, 0.0},          // straight behind: home
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "earth " << c.earth.x << " " << c.earth.y << " " << c.earth.z);
    const bus::AntennaTarget t = bus::AntennaTargets(c.earth, 0.6, 0.3);
    EXPECT_NEAR(t.elevation, c.elevation, 5e-6);
    EXPECT_NEAR(std::fmod(t.azimuth, 1.0), c.azimuth, 5e-6);
  }
}

// The elevation angle keeps within -60..120 degrees by taking the angle from the other side.
TEST(BusStepRules, ElevationAngleFoldsIntoItsRange) {
  const double deg = kDegToRad;
  const struct {
    double angle_deg;  // direction in the y-z plane, from +z towards +y
    double elevation;
  } cases[] = {
      {0, 0.34},
      {90, 0.84},
      {110, std::fmin(110.0 / 180 + 0.34, 0.95)},
      {150, 150.0 / 180 - 1 + 0.34},  // beyond 120: less half a turn
      {330, 330.0 / 180 - 2 + 0.34},  // -30 degrees: taken from the other side twice
      {270, 270.0 / 180 - 1 + 0.34},  // straight down: 90 degrees from the other side
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle_deg);
    const VECTOR3 e = {0, std::sin(c.angle_deg * deg), std::cos(c.angle_deg * deg)};
    EXPECT_NEAR(bus::AntennaTargets(e, 0.34, 0).elevation, c.elevation, 1e-12);
  }
}

// Along the bus's x axis the elevation angle is undefined: the elevation holds where it stands
// and the azimuth still turns the dish to the Earth; without any direction both hold.
TEST(BusStepRules, EarthAlongTheXAxisHoldsTheElevation) {
  const struct {
    VECTOR3 earth;
    double elevation_now, azimuth_now;
    double elevation, azimuth;
  } cases[] = {
      {{1, 0, 0}, 0.34, 0.1, 0.34, 0.75},
      {{2, 0, 0}, 0.8, 0.1, 0.8, 0.75},
      {{-1, 0, 0}, 0.6, 0.9, 0.6, 0.25},
      {{0, 0, 0}, 0.6, 0.9, 0.6, 0.9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "earth " << c.earth.x << " now " << c.elevation_now);
    const bus::AntennaTarget t = bus::AntennaTargets(c.earth, c.elevation_now, c.azimuth_now);
    EXPECT_EQ(t.elevation, c.elevation);
    EXPECT_NEAR(t.azimuth, c.azimuth, 1e-12);
  }
}

TEST(BusStepRules, CircularStepTakesTheShorterWay) {
  const double h = 0.01;
  const struct {
    const char* name;
    double x, t;
    Closeness closeness;
    double next;
  } cases[] = {
      {"up", 0.2, 0.4, Closeness::kWrapped, 0.21},
      {"down", 0.4, 0.2, Closeness::kWrapped, 0.39},
      {"half a turn exactly: up", 0.2, 0.7, Closeness::kWrapped, 0.21},
      {"up through 1", 0.995, 0.05, Closeness::kWrapped, 0.005},
      {"down through 0", 0.005, 0.95, Closeness::kWrapped, 0.995},
      {"arrives within h", 0.395, 0.4, Closeness::kWrapped, 0.4},
      {"arrives across the wrap", 0.998, 0.003, Closeness::kWrapped, 0.003},
      {"plain: no arrival across the wrap", 0.998, 0.003, Closeness::kPlain, 0.008},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(bus::CircularStep(c.x, c.t, h, c.closeness), c.next, 1e-12);
  }
  // 1.0 itself is not wrapped
  EXPECT_EQ(bus::CircularStep(0.75, 0.2, 0.25, Closeness::kPlain), 1.0);
}

// The array at 0.95 with the target 0.05 turns up through 1.0, wraps and stops at 0.05.
TEST(BusStepRules, ArrayTurnsUpThroughOneAndStops) {
  double x = 0.95;
  bool wrapped = false;
  for (int i = 0; i < 100 && x != 0.05; ++i) {
    const double next = bus::CircularStep(x, 0.05, 0.00025 * 10, Closeness::kWrapped);
    if (next < x) {
      EXPECT_GT(x, 0.99);  // the only way down is the wrap
      wrapped = true;
    }
    x = next;
    EXPECT_GE(x, 0.0);
    EXPECT_LE(x, 1.0);
  }
  EXPECT_TRUE(wrapped);
  EXPECT_EQ(x, 0.05);
}

TEST(BusStepRules, LinearStep) {
  EXPECT_EQ(bus::LinearStep(0.3, 0.5, 0.1), 0.3 + 0.1);
  EXPECT_EQ(bus::LinearStep(0.5, 0.3, 0.1), 0.5 - 0.1);
  EXPECT_EQ(bus::LinearStep(0.45, 0.5, 0.1), 0.5);
  EXPECT_EQ(bus::LinearStep(0.5, 0.5, 0.1), 0.5);
}

TEST(BusStepRules, KillRotationStopsEachComponent) {
  VECTOR3 w = bus::KillRotation({0.1, -0.02, 0}, 0.05);
  EXPECT_DOUBLE_EQ(w.x, 0.05);
  EXPECT_EQ(w.y, 0);
  EXPECT_EQ(w.z, 0);
  w = bus::KillRotation(w, 0.05);
  EXPECT_EQ(w.x, 0);  // |0.05| is not below 0.05: it steps to 0 by subtraction
  EXPECT_EQ(bus::KillRotation({-0.3, 0.3, 0.049}, 0.05).x, -0.25);
  EXPECT_EQ(bus::KillRotation({-0.3, 0.3, 0.049}, 0.05).y, 0.25);
  EXPECT_EQ(bus::KillRotation({-0.3, 0.3, 0.049}, 0.05).z, 0);
}

}  // namespace
