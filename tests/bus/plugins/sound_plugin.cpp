// A stand-in for the sound plug-in, built in four variants (one per folder, each as
// libOrbiterSound.so): the full set of exports, and variants without the three 3-D exports,
// without the vessel-id export, or without a required export. Besides the plug-in's own exports
// it has test controls: the id it hands out, and a record of the stock-sound replacements.
#include <cstring>

#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int next_id = 7;
int replace_calls = 0;
int last_id = 0;
int last_slot = 0;
char last_name[1024] = {};

}  // namespace

// --- test controls
PLUGIN_EXPORT void TestSetSoundId(int id) { next_id = id; }
PLUGIN_EXPORT int TestReplaceCalls() { return replace_calls; }
PLUGIN_EXPORT const char* TestLastReplace(int* id, int* slot) {
  *id = last_id;
  *slot = last_slot;
  return last_name;
}

// --- the plug-in's exports
PLUGIN_EXPORT int LoadVesselWaveOBSound3(int, int, char*, int) { return 1; }
PLUGIN_EXPORT int PlayVesselWaveOBSound3(int, int, int, int) { return 1; }
PLUGIN_EXPORT int PlayVesselExclusiveWaveOBSound3(int, int, int, int) { return 1; }
PLUGIN_EXPORT int StopVesselWave3(int, int) { return 1; }
PLUGIN_EXPORT int IsPlayingVesselWave3(int, int) { return 0; }
PLUGIN_EXPORT int IsPlayingRadioVesselWave() { return 0; }
PLUGIN_EXPORT int SoundOption3(int, int, int) { return 1; }
#ifndef PLUGIN_NO_SET_FREQUENCY
PLUGIN_EXPORT int SetFrequency(int, int, int) { return 1; }
#endif
#ifndef PLUGIN_NO_VESSEL_ID
PLUGIN_EXPORT int GetVesselSoundID3(void*) { return next_id; }
#endif
PLUGIN_EXPORT int ReplaceStockOBSound3(int id, char* name, int slot) {
  ++replace_calls;
  last_id = id;
  last_slot = slot;
  std::strncpy(last_name, name, sizeof last_name - 1);
  return 1;
}
PLUGIN_EXPORT int GetVersionOBSound3() { return 40; }
#ifndef PLUGIN_NO_3D
PLUGIN_EXPORT int LoadVesselWave3dOBSound4(int, int, char*, int, double, double) { return 1; }
PLUGIN_EXPORT int Set3dWaveParametersOBSound4(int, int, double, double) { return 1; }
PLUGIN_EXPORT int IsOrbiterSound3dOBSound4() { return 1; }
#endif
