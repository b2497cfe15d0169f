// The capsule's scenario line, and post-creation, which puts the loaded state back on meshes,
// airfoils, size, mass, inertia and animation.
#include "quarn_edl_capsule.h"
#include "scenario_lines.h"

namespace {

constexpr int kKeys = 1;

}  // namespace

// "CHT": how far the sequence has come. The break-up is not kept: a loaded capsule is intact.
void quarn_edl_capsule::StateLines(frame::LineKey* keys) {
  keys[0] = {"CHT",
             6,
             {frame::Int(shield_state), frame::Int(lander_state), frame::Int(chute_state), frame::Real(chute_proc),
              frame::Int(collapse_state), frame::Real(collapse_proc)}};
}

void quarn_edl_capsule::clbkSaveState(FILEHANDLE scn) {
  VESSEL3::clbkSaveState(scn);
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::WriteScenarioLines(scn, keys, kKeys);
}

void quarn_edl_capsule::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::ReadScenarioLines(*this, scn, status, keys, kKeys);

  SetAnimation(anim_chute, chute_proc);
  SetAnimation(anim_collapse, collapse_proc);
}

void quarn_edl_capsule::clbkPostCreation() {
  UpdateEmptyMass();
  // A parachute that is out gets the inertia and, once open, the damping it had in flight, so
  // that a reloaded capsule flies as it did before the save.
  if (chute_state < kChuteStowed) {
    SetChuteAirfoils(chute_proc);
    SetPMI(kChutePmi);
    if (chute_state == kChuteOpen) {
      SetSize(kOpenChuteSize);
      SetRotDrag(kOpenChuteRotDrag);
    }
    SetMeshVisibilityMode(kCapMesh, MESHVIS_NEVER);
    SetMeshVisibilityMode(kChuteMesh, MESHVIS_EXTERNAL);
  }
  if (shield_state == kShieldJettisoned) SetMeshVisibilityMode(kHeatShieldMesh, MESHVIS_NEVER);
  SetAnimation(anim_chute, chute_proc);
  if (lander_state == kLanderLost) {
    SetMeshVisibilityMode(kCapMesh, MESHVIS_NEVER);
    SetMeshVisibilityMode(kBackshellMesh, MESHVIS_NEVER);
  }
}
