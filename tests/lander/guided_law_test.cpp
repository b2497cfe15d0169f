// The guided law on its own: attitude errors and commands, the collective throttle, mixing and
// limits, with the worked numbers; the limits where its divisions run out; and finite levels for
// any state.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "guided_law.h"

namespace {

using lander::ClusterLevels;
using lander::GuidanceInput;

constexpr double kPi = 3.141592653589793;
constexpr double kSaturated = 1e6;  // the command standing for the unbounded braking demand
constexpr double kMass = 280;       // kg, full tank
constexpr double kMarsG = 3.7276;   // m/s^2 near the surface (GM 4.2828e13, radius 3389.5 km)

void ExpectLevels(const ClusterLevels& got, double L1, double L2, double L3) {
  EXPECT_DOUBLE_EQ(got.L1, L1);
  EXPECT_DOUBLE_EQ(got.L2, L2);
  EXPECT_DOUBLE_EQ(got.L3, L3);
}

GuidanceInput Hovering(double h, double G) { return {kMass, h, {0, 0, 0}, {0, 0, 0}, G, 0, 0, 0}; }

TEST(GuidedLawTest, AuthoritiesAreOneClusterAboutEachAxis) {
  EXPECT_DOUBLE_EQ(lander::PitchAuthority(kMass), 1200 / (0.5 * kMass));
  EXPECT_DOUBLE_EQ(lander::BankAuthority(kMass), 1039.23048 / (0.5 * kMass));
}

// The y axis against the velocity: a positive pitch error asks for a positive pitch rate (the
// nose toward +y, so +y toward -z), a positive bank error a positive bank rate (+y toward +x).
TEST(GuidedLawTest, AttitudeErrors) {
  const struct {
    const char* name;
    VECTOR3 v;
    double theta_p, theta_b;
  } cases[] = {
      {"straight down", {0, -10, 0}, 0, 0},
      {"forward and down", {0, -10, 10}, kPi / 4, 0},
      {"right and down", {10, -10, 0}, 0, -kPi / 4},
      {"back and left, down", {-3, -4, -4}, -std::atan(1.0), std::atan(0.75)},
      {"forward and up", {0, 10, 10}, -kPi / 4, 0},
      // no velocity along y: the right angle that turns the thrust against the motion, the limit
      // from the descending side
      {"only forward", {0, 0, 5}, kPi / 2, 0},
      {"only back", {0, 0, -5}, -kPi / 2, 0},
      {"only right", {5, 0, 0}, 0, -kPi / 2},
      {"only left", {-5, -0.0, 0}, 0, kPi / 2},
      {"right and forward", {2, 0, 7}, kPi / 2, -kPi / 2},
      {"at rest", {0, 0, 0}, 0, 0},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    EXPECT_DOUBLE_EQ(lander::PitchError(tc.v), tc.theta_p);
    EXPECT_DOUBLE_EQ(lander::BankError(tc.v), tc.theta_b);
  }
  // the right angle joins on to a descent that has almost no vertical part
  EXPECT_NEAR(lander::PitchError({0, -1e-9, 5}), kPi / 2, 1e-9);
  EXPECT_NEAR(lander::BankError({5, -1e-9, 0}), -kPi / 2, 1e-9);
}

TEST(GuidedLawTest, AttitudeCommandRules) {
  const double alpha = lander::PitchAuthority(kMass);  // 8.571 rad/s^2
  const struct {
    const char* name;
    double theta, w, alpha, command;
  } cases[] = {
      {"turning away", 0.3, -0.1, alpha, 0.3 * kPi / 20},
      {"turning away, negative error", -0.3, 0.1, alpha, -0.3 * kPi / 20},
      {"toward, far from the stop", 0.3, 0.1, alpha, 0.3 * kPi / 20},
      {"toward, braking", 0.01, 0.5, alpha, -0.25 / (2 * 0.01 * alpha)},
      {"toward, braking, negative error", -0.01, -0.5, alpha, 0.25 / (2 * 0.01 * alpha)},
      // t = 2 x 0.5 / 1 = 1 s equals 10 x 1 / 10: a time equal to the threshold brakes
      {"at the braking threshold", 0.5, 1, 10, -1.0 / (2 * 0.5 * 10)},
      {"just past the threshold", 0.5000001, 1, 10, 0.5000001 * kPi / 20},
      // not turning: the proportional rule, whatever the error
      {"no rate", 0.3, 0, alpha, 0.3 * kPi / 20},
      {"no rate, no error", 0, 0, alpha, 0},
      {"no rate, no error, negative zeros", -0.0, -0.0, alpha, 0},
      // on the target and still turning: the braking demand is unbounded
      {"no error, turning positive", 0, 0.2, alpha, -kSaturated},
      {"no error, turning negative", 0, -0.2, alpha, kSaturated},
      {"negative zero error", -0.0, 0.2, alpha, -kSaturated},
      {"error so small the division overflows", 1e-320, 1, alpha, -kSaturated},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    EXPECT_DOUBLE_EQ(lander::AttitudeCommand(tc.theta, tc.w, tc.alpha), tc.command);
  }
  // braking equals -(w / t) / alpha with t = 2 theta / w
  const double t = 2 * 0.01 / 0.5;
  EXPECT_DOUBLE_EQ(lander::AttitudeCommand(0.01, 0.5, alpha), -(0.5 / t) / alpha);
}

TEST(GuidedLawTest, RequiredDeceleration) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    double h, u, a;
  } cases[] = {
      {"high, descending at exactly 1 m/s", 10, -1, 0},
      {"high, descending faster", 10, -3, -3 * (1 - 3) / (2 * 6.0)},
      {"high, descending slower", 10, -0.5, -0.5 * 0.5 / (2 * 6.0)},
      {"at the switch height: still h0 = 4, c = 1", 5, -2, -2 * (1 - 2) / (2 * 1.0)},
      {"below the switch height: h0 = 1.9, c = 0", 4.9, -2, 4 / (2 * 3.0)},
      {"hovering", 3, 0, 0},
      {"below the stop height: demand below the weight", 1.5, -1, 1 / (2 * (1.5 - 1.9))},
      // at the stop height itself
      {"resting at the stop height", 1.9, 0, 0},
      {"resting at the stop height, negative zero", 1.9, -0.0, 0},
      {"descending through the stop height: the limit from above", 1.9, -1, inf},
      {"rising through the stop height: the limit from below", 1.9, 1, -inf},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    EXPECT_DOUBLE_EQ(lander::RequiredDeceleration(tc.h, tc.u), tc.a);
  }
}

TEST(GuidedLawTest, CollectiveThrottle) {
  const double G = kMass * kMarsG;
  // level hover: the weight as a fraction of 3600 N
  EXPECT_DOUBLE_EQ(lander::CollectiveThrottle(kMass, 3, 0, G, 0, 0), G / 3600);
  // raised for the tilt of the thrust axis
  EXPECT_DOUBLE_EQ(lander::CollectiveThrottle(kMass, 3, 0, G, 0.5, -0.3), G / (std::cos(0.5) * std::cos(-0.3)) / 3600);
  // braking: (m a + G) / 3600, at most 1
  EXPECT_DOUBLE_EQ(lander::CollectiveThrottle(kMass, 10, -3, G, 0, 0), (kMass * 0.5 + G) / 3600);
  EXPECT_EQ(lander::CollectiveThrottle(kMass, 10, -20, G, 0, 0), 1.0);
  // not limited from below
  EXPECT_LT(lander::CollectiveThrottle(kMass, 1.5, -3, G, 0, 0), 0);
  // at the stop height, descending: full thrust; resting: the weight
  EXPECT_EQ(lander::CollectiveThrottle(kMass, 1.9, -0.5, G, 0, 0), 1.0);
  EXPECT_DOUBLE_EQ(lander::CollectiveThrottle(kMass, 1.9, 0, G, 0, 0), G / 3600);
}

TEST(GuidedLawTest, MixingSumsToThreeTimesTheCollective) {
  const ClusterLevels L = lander::MixLevels(0.5, 0.3, 0.1);
  ExpectLevels(L, 0.5 + 0.3 + 0.1, 0.5 - 0.3 + 0.1 + 0.1, 0.5 - 0.3 - 0.1 + 0.1);
  EXPECT_DOUBLE_EQ(L.L1 + L.L2 + L.L3, 1.5);
  // the pitch differential is cluster 1 against 2 and 3 (torque about x: L1 - (L2 + L3) / 2 = 2P),
  // the bank differential cluster 2 against 3 (L2 - L3 = 2B)
  EXPECT_DOUBLE_EQ(L.L1 - (L.L2 + L.L3) / 2, 2 * 0.3);
  EXPECT_DOUBLE_EQ(L.L2 - L.L3, 2 * 0.1);
}

TEST(GuidedLawTest, LimitsDoublingAndDesaturation) {
  const struct {
    const char* name;
    ClusterLevels in, out;
  } cases[] = {
      {"T = 0.9, no differential", {0.9, 0.9, 0.9}, {1.0, 1.0, 1.0}},
      {"one full, two at 0.2", {1.0, 0.2, 0.2}, {1.0, -0.6, -0.6}},
      {"each within half", {0.4, 0.25, 0.1}, {0.8, 0.5, 0.2}},
      {"limited to 0..1 first", {-0.5, 0.3, 1.7}, {-1.0, -0.4, 1.0}},
      {"L1 desaturates, then L2 is no longer above 1", {0.8, 0.7, 0.2}, {1.0, 0.8, -0.2}},
      {"each test on the current values", {0.6, 0.9, 0.3}, {0.4, 1.0, -0.2}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    ExpectLevels(lander::LimitLevels(tc.in), tc.out.L1, tc.out.L2, tc.out.L3);
  }
}

TEST(GuidedLawTest, HoveringLevelAtThreeMetres) {
  // a = 0, T = G / 3600, no differential: each cluster 2 G / 3600, or 1 above 1800 N
  for (double G : {1043.7, 1800.0, 2000.0, 5000.0}) {
    SCOPED_TRACE(G);
    const double each = G <= 1800 ? 2 * G / 3600 : 1.0;
    ExpectLevels(lander::GuidedLevels(Hovering(3, G)), each, each, each);
  }
  // at 10 m descending at exactly 1 m/s the deceleration is 0 as well
  const double G = kMass * kMarsG;
  ExpectLevels(lander::GuidedLevels({kMass, 10, {0, -1, 0}, {0, 0, 0}, G, -1, 0, 0}), 2 * G / 3600, 2 * G / 3600,
               2 * G / 3600);
}

// Below 3.2 m the three levels are equal; from 3.2 m up the differential acts.
TEST(GuidedLawTest, DifferentialCutOffBelowThreePointTwoMetres) {
  const double G = kMass * kMarsG;
  for (double h : {2.0, 3.1999, 3.2, 3.5}) {
    SCOPED_TRACE(h);
    // drifting forward and right, descending, a little pitch rate
    const ClusterLevels L = lander::GuidedLevels({kMass, h, {0.3, -0.5, 0.4}, {0.01, 0, 0}, G, -0.5, 0, 0});
    if (h < 3.2) {
      EXPECT_EQ(L.L1, L.L2);
      EXPECT_EQ(L.L2, L.L3);
    } else {
      EXPECT_NE(L.L1, L.L2);
      EXPECT_NE(L.L2, L.L3);
    }
  }
}

// The whole law against the worked rules, far from the ground: drifting forward, cluster 1 rises
// above the others to pitch up; drifting right, cluster 3 rises above cluster 2 to bank left.
TEST(GuidedLawTest, DifferentialTurnsTheThrustAgainstTheDrift) {
  const double G = kMass * kMarsG;
  const double alpha_p = lander::PitchAuthority(kMass), alpha_b = lander::BankAuthority(kMass);
  const struct {
    const char* name;
    VECTOR3 v, omega;
  } cases[] = {
      {"forward", {0, -10, 2}, {0, 0, 0}},
      {"right", {2, -10, 0}, {0, 0, 0}},
      {"forward and right, turning", {1, -10, 2}, {0.05, 0, -0.02}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    const GuidanceInput in{kMass, 50, tc.v, tc.omega, G, tc.v.y, 0, 0};
    const double kp = lander::AttitudeCommand(lander::PitchError(tc.v), tc.omega.x, alpha_p);
    const double kb = lander::AttitudeCommand(lander::BankError(tc.v), tc.omega.z, alpha_b);
    const double T = lander::CollectiveThrottle(kMass, 50, tc.v.y, G, 0, 0);
    const ClusterLevels want = lander::LimitLevels(lander::MixLevels(T, kp / 2, kb / 2));
    const ClusterLevels got = lander::GuidedLevels(in);
    ExpectLevels(got, want.L1, want.L2, want.L3);
    if (tc.v.z > 0) {
      EXPECT_GT(got.L1, (got.L2 + got.L3) / 2);
    }
    if (tc.v.x > 0) {
      EXPECT_GT(got.L3, got.L2);
    }
  }
}

// Random states, with the values at which the law's divisions run out mixed in: every level is
// finite, none is above 1, none below -1.
TEST(GuidedLawTest, EveryLevelIsFiniteForAnyState) {
  std::mt19937_64 rng(20161028);
  std::uniform_real_distribution<double> unit(0, 1);
  auto pick = [&](std::initializer_list<double> specials, double lo, double hi) {
    if (unit(rng) < 0.3) return *(specials.begin() + static_cast<int>(unit(rng) * specials.size()));
    return lo + (hi - lo) * unit(rng);
  };
  int singular = 0;
  for (int i = 0; i < 200000; ++i) {
    GuidanceInput in;
    in.m = pick({235, 280}, 235, 280);
    in.h = pick({1.9, 2.5, 3.2, 4, 5, 6, 0}, -1, 100);
    in.v = {pick({0, -0.0}, -80, 80), pick({0, -0.0, -1e-300}, -80, 80), pick({0, -0.0}, -80, 80)};
    in.omega = {pick({0, -0.0, 1e-300}, -2, 2), pick({0}, -2, 2), pick({0, -0.0, -1e-300}, -2, 2)};
    in.G = pick({0, 1800}, 0, 3000);
    in.u = pick({0, -0.0, -1, 1}, -80, 80);
    in.pitch = pick({0, kPi / 2, -kPi / 2}, -kPi / 2, kPi / 2);
    in.bank = pick({0, kPi, -kPi, kPi / 2}, -kPi, kPi);
    if (in.v.y == 0 || in.h == 1.9 || (in.omega.x == 0 && in.v.z == 0) || (in.omega.z == 0 && in.v.x == 0) ||
        (in.omega.x != 0 && in.v.z == 0))
      ++singular;
    const ClusterLevels L = lander::GuidedLevels(in);
    for (double l : {L.L1, L.L2, L.L3}) {
      ASSERT_TRUE(std::isfinite(l)) << "state " << i << ": m " << in.m << " h " << in.h << " v " << in.v.x << " "
                                    << in.v.y << " " << in.v.z << " w " << in.omega.x << " " << in.omega.z << " G "
                                    << in.G << " u " << in.u << " pitch " << in.pitch << " bank " << in.bank;
      ASSERT_LE(l, 1.0);
      ASSERT_GE(l, -1.0);
    }
  }
  EXPECT_GT(singular, 10000);  // the limits were visited often
}

}  // namespace
