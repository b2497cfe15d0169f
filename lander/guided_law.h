// The guided burn's law: from the lander's state to the levels of its three engine clusters.
// Plain arithmetic on what the descent control has read from the host.
#pragma once

#include "api.h"

namespace lander {

// What the law uses, as read from the host.
struct GuidanceInput {
  double m;       // total mass, kg
  double h;       // height above the ground, m
  VECTOR3 v;      // ground-relative velocity, vessel frame, m/s
  VECTOR3 omega;  // angular velocity, vessel frame, rad/s
  double G;       // weight, N
  double u;       // vertical speed, positive upward, m/s
  double pitch;   // rad
  double bank;    // rad
};

// Levels of clusters 1, 2 and 3.
struct ClusterLevels {
  double L1, L2, L3;
};

// Angular acceleration of one cluster at full thrust about the pitch and the bank axis, rad/s^2.
double PitchAuthority(double m);
double BankAuthority(double m);

// Angles between the lander's y axis and its velocity, about the pitch and the bank axis, rad.
double PitchError(const VECTOR3& v);
double BankError(const VECTOR3& v);

// Command about one axis, as a fraction of its authority, for an error theta (rad), a rate w
// (rad/s, signed like theta when turning toward the target) and the authority alpha.
double AttitudeCommand(double theta, double w, double alpha);

// Deceleration (m/s^2, upward) that brings the lander to its stop height at its target rate.
double RequiredDeceleration(double h, double u);

// Collective throttle as a fraction of the total thrust: at most 1, not limited below.
double CollectiveThrottle(double m, double h, double u, double G, double pitch, double bank);

// Per-cluster levels from the collective T and the pitch and bank differentials P and B.
ClusterLevels MixLevels(double T, double P, double B);

// Limits to 0..1, doubles for the pulsed firing, then shifts all three down until none is
// above 1.
ClusterLevels LimitLevels(ClusterLevels L);

// The whole law: errors, commands, throttle, differential, mixing and limits.
ClusterLevels GuidedLevels(const GuidanceInput& in);

}  // namespace lander
