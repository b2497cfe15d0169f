// The events that change the stack: the heat shield goes its own way, the lander is made and
// held, then released with the user's input focus, and the break-up.
#include "quarn_edl_capsule.h"

namespace {

constexpr const char* kHeatShieldName = "KTX_Heatshield";
constexpr const char* kHeatShieldClass = "QUARN/quarn_htshld";
constexpr const char* kLanderName = "Velquin";
constexpr const char* kLanderClass = "QUARN/quarn_vlqn";

// New vessels start at the capsule's own position and velocity, with its attitude and rotation.
constexpr VECTOR3 kSpawnOffset = {0, 0, 0};  // m, capsule frame
constexpr VECTOR3 kSpawnDeltaV = {0, 0, 0};  // m/s, capsule frame
constexpr int kFreeFlight = 0;

constexpr double kReleaseSpeed = 0.0;  // m/s: the lander drifts off by its own dynamics

constexpr double kBurstLevel = 1.0;
constexpr double kBurstDuration = 0.5;  // s

VESSELSTATUS SpawnStatus(const VESSEL& capsule) {
  VESSELSTATUS vs;
  capsule.GetStatus(vs);
  capsule.Local2Rel(kSpawnOffset, vs.rpos);
  VECTOR3 dv;
  capsule.GlobalRot(kSpawnDeltaV, dv);
  vs.rvel += dv;
  vs.status = kFreeFlight;
  return vs;
}

}  // namespace

void quarn_edl_capsule::JettisonHeatShield() {
  // the shield is gone from the capsule even if the host could not make it a vessel
  oapiCreateVessel(kHeatShieldName, kHeatShieldClass, SpawnStatus(*this));
  SetMeshVisibilityMode(kHeatShieldMesh, MESHVIS_NEVER);
  shield_state = kShieldJettisoned;
  UpdateEmptyMass();
}

void quarn_edl_capsule::CreateLander() {
  const OBJHANDLE h = oapiCreateVessel(kLanderName, kLanderClass, SpawnStatus(*this));
  VESSEL* lander = h ? oapiGetVesselInterface(h) : nullptr;
  const PROPELLANT_HANDLE tank = lander ? lander->GetPropellantHandleByIndex(0) : nullptr;
  const ATTACHMENTHANDLE lander_point = lander ? lander->GetAttachmentHandle(true, 0) : nullptr;

  // A lander that cannot be made, or made without its tank or its point toward the capsule, is
  // given up for good: a half-made vessel is removed, and the capsule flies on without a lander
  // rather than making another one at every step.
  if (!tank || !lander_point) {
    if (h) oapiDeleteVessel(h);
    lander_state = kLanderReleased;
    UpdateEmptyMass();
    return;
  }

  lander->SetPropellantMass(tank, lander->GetPropellantMaxMass(tank));
  AttachChild(h, att_lander, lander_point);
  lander_state = kLanderAttached;
  UpdateEmptyMass();
}

void quarn_edl_capsule::ReleaseLander() {
  const OBJHANDLE lander = GetAttachmentStatus(att_lander);
  // refused: everything stays as it was, and the next step tries again
  if (!DetachChild(att_lander, kReleaseSpeed)) return;
  oapiSetFocusObject(lander);
  lander_state = kLanderReleased;
  UpdateEmptyMass();
}

void quarn_edl_capsule::BreakUpStep() {
  breakup_level = kBurstLevel;
  breakup_timer += oapiGetSimStep();
  if (breakup_timer > kBurstDuration) {
    breakup_state = kBrokenUp;
    breakup_level = 0.0;
    breakup_timer = 0.0;
  }
  // the backshell and cap go at once; the heat shield's mesh and the parachute stay as they are
  if (shield_state < kShieldLost) {
    shield_state = kShieldLost;
    SetMeshVisibilityMode(kCapMesh, MESHVIS_NEVER);
    SetMeshVisibilityMode(kBackshellMesh, MESHVIS_NEVER);
  }
  // a lander still held goes with the capsule; one released earlier flies on
  if (lander_state < kLanderLost) {
    lander_state = kLanderLost;
    if (const OBJHANDLE lander = GetAttachmentStatus(att_lander)) oapiDeleteVessel(lander, nullptr);
  }
  UpdateEmptyMass();
}
