// The lander's step: it waits while attached, coasts after the release, then flies a powered
// descent in three burn stages with pulsed engines until it is rising again close to the
// ground, and from then on holds its engines off.
#include "guided_law.h"
#include "quarn_velquin.h"

namespace {

enum DescentState { kAttached = 0, kCoasting = 1, kPoweredDescent = 2, kLanded = 3 };
enum BurnStage { kPitchUpBurn = 0, kFullThrustBurn = 1, kGuidedBurn = 2 };

constexpr double kCoastTime = 1;         // s after the release before the engines fire
constexpr double kPulseInterval = 0.05;  // s, each half of the engines' on-off cycle

// Each fixed-level burn ends at a pitch or after a time, whichever comes first.
constexpr double kPitchUpEndPitch = 20 * kDegToRad;     // rad
constexpr double kPitchUpDuration = 0.5;                // s
constexpr double kFullThrustEndPitch = 40 * kDegToRad;  // rad
constexpr double kFullThrustDuration = 2.0;             // s
constexpr double kPitchUpLevels[kClusters] = {1.0, 0.8, 0.8};
constexpr double kFullThrustLevel = 1.0;

constexpr double kTouchdownHeight = 2.5;     // m: rising again below this is touchdown
constexpr double kLevelModeOnHeight = 6;     // m: horizon-level mode on below this
constexpr double kLevelModeOffHeight = 1.9;  // m: and off again below this, before contact

}  // namespace

void quarn_velquin::clbkPreStep(double, double simdt, double) {
  switch (descent_state) {
    case kAttached:
      if (!GetAttachmentStatus(att_parent)) descent_state = kCoasting;
      break;
    case kCoasting:
      stage_timer += simdt;
      if (stage_timer > kCoastTime) {
        stage_timer = 0.0;
        descent_state = kPoweredDescent;
        DescentControl();
      }
      break;
    case kPoweredDescent:
      DescentControl();
      if (burn_stage < kGuidedBurn) stage_timer += simdt;
      pulse_timer += simdt;
      break;
    case kLanded:
      SetThrusterGroupLevel(THGROUP_MAIN, 0.0);
      break;
    default:
      break;
  }

  // pulse cycle: it only advances in the powered descent
  if (pulse_timer > kPulseInterval) {
    pulse_timer = 0.0;
    pulse_off = pulse_off == 0 ? 1 : 0;
  }
}

void quarn_velquin::DescentControl() {
  // the lander's state
  const double m = GetMass();
  const double h = GetAltitude(ALTMODE_GROUND);
  VECTOR3 v;
  GetGroundspeedVector(FRAME_LOCAL, v);
  VECTOR3 omega;
  GetAngularVel(omega);
  VECTOR3 weight;
  GetWeightVector(weight);
  const double G = length(weight);
  VECTOR3 horizon_v;
  GetGroundspeedVector(FRAME_HORIZON, horizon_v);
  const double u = horizon_v.y;
  const double pitch = GetPitch();

  // burn stage, decided on the stage at entry: at most one change per call
  if (burn_stage == kPitchUpBurn) {
    if (pitch > kPitchUpEndPitch) {
      stage_timer = 0.0;
      burn_stage = kFullThrustBurn;
    }
    if (stage_timer > kPitchUpDuration) {
      burn_stage = kFullThrustBurn;
      stage_timer = 0.0;
    }
  } else if (burn_stage == kFullThrustBurn) {
    if (pitch > kFullThrustEndPitch) {
      stage_timer = 0.0;
      burn_stage = kGuidedBurn;
    }
    if (stage_timer > kFullThrustDuration) {
      burn_stage = kGuidedBurn;
      stage_timer = 0.0;
    }
  }

  // touchdown: rising again close to the ground
  if (h < kTouchdownHeight && u > 0) {
    SetThrusterGroupLevel(THGROUP_MAIN, 0.0);
    descent_state = kLanded;
    DeactivateNavmode(NAVMODE_HLEVEL);
    return;
  }

  // horizon-level mode near the ground, released again just before contact
  if (h < kLevelModeOnHeight) ActivateNavmode(NAVMODE_HLEVEL);
  if (h < kLevelModeOffHeight) DeactivateNavmode(NAVMODE_HLEVEL);

  const double bank = GetBank();

  const lander::ClusterLevels L = lander::GuidedLevels({m, h, v, omega, G, u, pitch, bank});
  SetThrusterLevel(th_engine[0], L.L1);
  SetThrusterLevel(th_engine[1], L.L2);
  SetThrusterLevel(th_engine[2], L.L3);

  // the fixed-level burns override the law
  if (burn_stage == kPitchUpBurn) {
    for (int k = 0; k < kClusters; ++k) SetThrusterLevel(th_engine[k], kPitchUpLevels[k]);
  } else if (burn_stage == kFullThrustBurn) {
    for (int k = 0; k < kClusters; ++k) SetThrusterLevel(th_engine[k], kFullThrustLevel);
  }

  // off half of the pulse cycle
  if (pulse_off == 1) {
    for (int k = 0; k < kClusters; ++k) SetThrusterLevel(th_engine[k], 0.0);
  }
}
