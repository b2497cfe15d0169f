#include "guided_law.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "quarn_velquin.h"

namespace lander {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRightAngle = kPi / 2;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Lever arms of the clusters about the pitch axis (cluster 1 against 2 and 3) and the bank axis
// (cluster 2 against 3).
constexpr double kPitchLever = kClusterPos[0].z;  // m
constexpr double kBankLever = kClusterPos[2].x;   // m

constexpr double kTotalThrust = kClusters * kClusterThrust;  // N

// Attitude commands.
constexpr double kProportionalGain = kPi / 20;  // per rad, far from the target
constexpr double kBrakingMargin = 10;           // brake once the stop would take a tenth of the time left
// Stands for the unbounded braking demand at the target itself (and where the division
// overflows): far beyond one cluster's full torque, so the clusters go to their limits, yet
// small enough that mixing two such commands stays finite.
constexpr double kSaturatedCommand = 1e6;

// Collective throttle: a descent rate of c above the switch height, rest at the stop height h0
// below it.
constexpr double kThrottleSwitchHeight = 5;  // m
constexpr double kStopHeightHigh = 4;        // m, h0 from the switch height up
constexpr double kStopHeightLow = 1.9;       // m, h0 below it
constexpr double kRateTermHigh = 1;          // m/s, c from the switch height up
constexpr double kRateTermLow = 0;           // m/s, c below it

// Near the ground the horizon-level mode holds the attitude instead of the differential.
constexpr double kAttitudeCutoffHeight = 3.2;  // m

// The engines fire in every other pulse interval, so the levels are doubled.
constexpr double kPulseCompensation = 2;

double Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }

}  // namespace

double PitchAuthority(double m) { return kClusterThrust * kPitchLever / (kPmi.x * m); }

double BankAuthority(double m) { return kClusterThrust * kBankLever / (kPmi.z * m); }

// With no velocity along y the angle is a right angle, taken as the formula's limit for a
// descending lander: the thrust axis turns against the motion. No velocity at all: no error.
double PitchError(const VECTOR3& v) {
  if (v.y == 0) return Sign(v.z) * kRightAngle;
  return -std::atan(v.z / v.y);
}

double BankError(const VECTOR3& v) {
  if (v.y == 0) return -Sign(v.x) * kRightAngle;
  return std::atan(v.x / v.y);
}

double AttitudeCommand(double theta, double w, double alpha) {
  const double proportional = theta * kProportionalGain;
  // not turning: no stop to plan, whatever the error
  if (w == 0) return proportional;
  // time in which the current rate would remove the error with an even deceleration
  const double t = 2 * theta / w;
  if (t < 0) return proportional;  // turning away
  if (t > kBrakingMargin * std::fabs(w) / alpha) return proportional;
  // braking: the even deceleration that stops the turn at the target
  if (t == 0) return -Sign(w) * kSaturatedCommand;
  return std::clamp(-(w / t) / alpha, -kSaturatedCommand, kSaturatedCommand);
}

double RequiredDeceleration(double h, double u) {
  const bool high = !(h < kThrottleSwitchHeight);
  const double h0 = high ? kStopHeightHigh : kStopHeightLow;
  const double c = high ? kRateTermHigh : kRateTermLow;
  const double demand = u * (c + u);
  if (h != h0) return demand / (2 * (h - h0));
  // At the stop height itself: nothing to change when the formula's numerator is 0 (the lander
  // rests there, or moves at its target rate); otherwise the formula's limit from the side the
  // lander comes from: from above while descending, from below while rising.
  if (demand == 0) return 0;
  const double side = u < 0 ? 1 : -1;
  return Sign(demand) * side * kInfinity;
}

double CollectiveThrottle(double m, double h, double u, double G, double pitch, double bank) {
  const double a = RequiredDeceleration(h, u);
  // thrust that brakes and carries the weight, raised for the tilt of the thrust axis
  double T = (m * a + G) / (std::cos(pitch) * std::cos(bank)) / kTotalThrust;
  if (T > 1) T = 1;
  return T;
}

ClusterLevels MixLevels(double T, double P, double B) {
  // cluster 1 on +z against clusters 2 and 3 for pitch, cluster 2 against cluster 3 for bank
  return {T + P + P / 3, T - P + B + P / 3, T - P - B + P / 3};
}

ClusterLevels LimitLevels(ClusterLevels L) {
  double* levels[kClusters] = {&L.L1, &L.L2, &L.L3};
  for (double* l : levels) {
    if (*l < 0) *l = 0;
    if (*l > 1) *l = 1;
  }
  for (double* l : levels) *l *= kPulseCompensation;
  // desaturate, keeping the differences between the clusters
  for (double* l : levels) {
    if (*l > 1) {
      const double excess = *l - 1;
      for (double* other : levels) *other -= excess;
    }
  }
  return L;
}

ClusterLevels GuidedLevels(const GuidanceInput& in) {
  // attitude errors: the y axis against the velocity
  const double theta_p = PitchError(in.v);
  const double theta_b = BankError(in.v);

  // attitude commands
  const double kp = AttitudeCommand(theta_p, in.omega.x, PitchAuthority(in.m));
  const double kb = AttitudeCommand(theta_b, in.omega.z, BankAuthority(in.m));

  const double T = CollectiveThrottle(in.m, in.h, in.u, in.G, in.pitch, in.bank);

  // differential, dropped near the ground
  double P = kp / 2;
  double B = kb / 2;
  if (in.h < kAttitudeCutoffHeight) {
    P = 0;
    B = 0;
  }

  return LimitLevels(MixLevels(T, P, B));
}

}  // namespace lander
