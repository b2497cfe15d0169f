// The bus's scenario lines (antenna, solar panels, capsule), and post-creation, which re-applies
// the loaded state and connects the sound.
#include "quarn_bus.h"
#include "scenario_lines.h"
#include "sound/sound_connector.h"

namespace {

constexpr int kKeys = 3;

// Stock sound the bus replaces with its own attitude-thruster sound.
constexpr const char* kAttitudeSound = "Sound\\Vessel\\attsustain.wav";
constexpr int kAttitudeSoundSlot = 10;

}  // namespace

void quarn_bus::StateLines(frame::LineKey* keys) {
  keys[0] = {
      "ANT", 4, {frame::Int(hga_state), frame::Real(hga_deploy), frame::Real(hga_elevation), frame::Real(hga_azimuth)}};
  keys[1] = {"SLP", 3, {frame::Int(solar_state), frame::Real(solar_deploy), frame::Real(solar_rotation)}};
  keys[2] = {"VLQ", 1, {frame::Int(capsule_released)}};
}

void quarn_bus::clbkSaveState(FILEHANDLE scn) {
  VESSEL3::clbkSaveState(scn);
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::WriteScenarioLines(scn, keys, kKeys);
}

void quarn_bus::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::ReadScenarioLines(*this, scn, status, keys, kKeys);

  SetAnimation(anim_hga_deploy, hga_deploy);
  SetAnimation(anim_hga_elevation, hga_elevation);
  SetAnimation(anim_hga_azimuth, hga_azimuth);
  SetAnimation(anim_solar_deploy, solar_deploy);
  SetAnimation(anim_solar_rotation, solar_rotation);
}

void quarn_bus::clbkPostCreation() {
  sound_id = ConnectToOrbiterSoundDLL(GetHandle());
  SubstituteStockSound(sound_id, kAttitudeSound, kAttitudeSoundSlot);
  UpdateEmptyMass();
  if (capsule_released == 1) DelMesh(kBackShellMesh);
  if (solar_state == 2) SpreadWingArea();
}
