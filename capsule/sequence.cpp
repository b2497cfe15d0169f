// The entry and descent sequence, run once per step from what the capsule's altitude above the
// ground, airspeed and drag are: lander, break-up, release, heat shield, touchdown, parachute.
// Every limit is strict: a reading equal to it does not fire the stage.
#include "quarn_edl_capsule.h"

namespace {

constexpr double kBreakUpDrag = 132000;  // N

constexpr double kReleaseAltitude = 1200;  // m
constexpr double kReleaseAirspeed = 75;    // m/s

constexpr double kJettisonAltitude = 6850;  // m
constexpr double kJettisonAirspeed = 120;   // m/s

constexpr double kContactAltitude = 20;  // m, below which ground contact is asked for

constexpr double kDeployAltitude = 11200;  // m
constexpr double kDeployAirspeed = 500;    // m/s

constexpr double kInflationRate = 1.0;  // per s: open about 1 s after deployment
constexpr double kCollapseRate = 0.5;   // per s: down in 2 s

constexpr double kPacked = 1.0, kOpen = 0.0;  // chute_proc
constexpr double kCollapsedProc = 1.0;        // collapse_proc

}  // namespace

void quarn_edl_capsule::clbkPreStep(double, double simdt, double) {
  // one reading of each for the whole step, events included
  const double altitude = GetAltitude(ALTMODE_GROUND);
  const double airspeed = GetAirspeed();

  if (breakup_state == kIntact && GetDrag() > kBreakUpDrag) breakup_state = kBreakingUp;
  if (breakup_state == kBreakingUp) BreakUpStep();

  if (lander_state == kNoLander && !GetAttachmentStatus(att_lander)) CreateLander();
  if (lander_state == kLanderAttached && altitude < kReleaseAltitude && airspeed < kReleaseAirspeed) ReleaseLander();
  if (altitude < kJettisonAltitude && airspeed < kJettisonAirspeed && shield_state == kShieldOn) JettisonHeatShield();

  // on the ground the canopy shows, packed or not; only an open one collapses
  if (altitude < kContactAltitude && GroundContact()) {
    if (collapse_state == kStanding && chute_state == kChuteOpen) collapse_state = kCollapsing;
    SetMeshVisibilityMode(kChuteMesh, MESHVIS_EXTERNAL);
  }

  ParachuteStep(altitude, airspeed, simdt);
  SetAnimation(anim_chute, chute_proc);
  CollapseStep(simdt);
}

void quarn_edl_capsule::ParachuteStep(double altitude, double airspeed, double simdt) {
  if (chute_state == kChuteStowed && lander_state < kLanderLost) {
    chute_proc = kPacked;
    // deployed now, inflating from the next step
    if (altitude < kDeployAltitude && airspeed < kDeployAirspeed) {
      chute_state = kChuteInflating;
      SetMeshVisibilityMode(kChuteMesh, MESHVIS_EXTERNAL);
      SetMeshVisibilityMode(kCapMesh, MESHVIS_NEVER);
      SetPMI(kChutePmi);
    }
  } else if (chute_state == kChuteInflating) {
    chute_proc -= kInflationRate * simdt;
    SetChuteAirfoils(chute_proc);
    if (chute_proc < kOpen) {
      chute_proc = kOpen;
      chute_state = kChuteOpen;
      SetChuteAirfoils(kOpen);
      SetSize(kOpenChuteSize);
      SetRotDrag(kOpenChuteRotDrag);
    }
  } else if (chute_state == kChuteOpen) {
    chute_proc = kOpen;
  }
  // a stowed parachute after the break-up, or a state the sequence does not know: left alone
}

void quarn_edl_capsule::CollapseStep(double simdt) {
  if (collapse_state == kCollapsing) {
    collapse_proc += kCollapseRate * simdt;
    if (collapse_proc > kCollapsedProc) {
      collapse_proc = kCollapsedProc;
      collapse_state = kCollapsed;
    }
    SetAnimation(anim_collapse, collapse_proc);
  } else if (collapse_state == kCollapsed) {
    collapse_proc = kCollapsedProc;
    SetAnimation(anim_collapse, kCollapsedProc);
  }
}

void quarn_edl_capsule::clbkPostStep(double, double, double) {}
