#include "sound_connector.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kPluginName = "OrbiterSound.dll";
constexpr const char* kLogFile = "OrbiterSound_Log.txt";
constexpr const char* kLogHeader = "Orbiter Sound Log Started\n*****************************\n\n";
constexpr const char* kLogSeparator = "--------------------------------------";

// The plug-in's exports, in the order they are looked up.
enum Export {
  kLoadVesselWave,
  kPlayVesselWave,
  kPlayVesselExclusiveWave,
  kStopVesselWave,
  kIsPlayingVesselWave,
  kIsPlayingRadioVesselWave,
  kSoundOption,
  kSetFrequency,
  kGetVesselSoundId,
  kReplaceStockSound,
  kGetVersion,
  kLoadVesselWave3d,
  kSet3dWaveParameters,
  kIsOrbiterSound3d,
  kExports
};
constexpr const char* kExportNames[kExports] = {
    "LoadVesselWaveOBSound3",
    "PlayVesselWaveOBSound3",
    "PlayVesselExclusiveWaveOBSound3",
    "StopVesselWave3",
    "IsPlayingVesselWave3",
    "IsPlayingRadioVesselWave",
    "SoundOption3",
    "SetFrequency",
    "GetVesselSoundID3",
    "ReplaceStockOBSound3",
    "GetVersionOBSound3",
    "LoadVesselWave3dOBSound4",
    "Set3dWaveParametersOBSound4",
    "IsOrbiterSound3dOBSound4",
};
// The first eleven are looked up together; of those, all but the version are required, and the
// vessel id is tested last. The three 3-D exports are optional.
constexpr int kBaseExports = kGetVersion + 1;
constexpr Export kRequiredBeforeId[] = {kLoadVesselWave, kPlayVesselWave,      kPlayVesselExclusiveWave,
                                        kStopVesselWave, kIsPlayingVesselWave, kIsPlayingRadioVesselWave,
                                        kSoundOption,    kSetFrequency,        kReplaceStockSound};
constexpr Export k3dExports[] = {kLoadVesselWave3d, kSet3dWaveParameters, kIsOrbiterSound3d};

// The highest connection id the plug-in hands out.
constexpr unsigned kMaxSoundId = 59;

using GetVesselSoundIdFn = int (*)(OBJHANDLE vessel);
using ReplaceStockSoundFn = int (*)(int id, char* name, int slot);

struct SoundModule {
  HMODULE plugin = nullptr;
  FARPROC functions[kExports] = {};
  char sound_path[kSoundPathSize] = {};
  int sound_log_count = 0;
};

SoundModule& Sound() {
  static SoundModule sound;
  return sound;
}

template <class Fn>
Fn Function(Export e) {
  return reinterpret_cast<Fn>(Sound().functions[e]);
}

}  // namespace

int ConnectToOrbiterSoundDLL(OBJHANDLE vessel) {
  SoundModule& s = Sound();
  ComposeSoundPath(nullptr);
  // nothing of an earlier connection stays callable: its plug-in may be gone
  s.plugin = nullptr;
  for (FARPROC& f : s.functions) f = nullptr;
  if (!vessel) {
    LogSoundError("ERR01= Vessel->ConnectToOrbiterSoundDLL: A vessel passed a NULL handle to this function", "");
    return -1;
  }
  s.plugin = GetModuleHandleA(kPluginName);
  if (!s.plugin) {
    LogSoundError(
        "ERR01= Vessel->ConnectToOrbiterSoundDLL: Unable to connect to OrbiterSound - not installed or activated", "");
    return -1;
  }

  for (int e = 0; e < kBaseExports; ++e) s.functions[e] = GetProcAddress(s.plugin, kExportNames[e]);
  for (Export e : kRequiredBeforeId) {
    if (!s.functions[e]) {
      LogSoundError(
          "ERR02= ConnectToOrbiterSoundDLL (4.0 SDK): Unable to find routines. Missing or outdated OrbiterSound "
          "(<3.0?)",
          "");
      return -1;
    }
  }

  bool has_3d = true;
  for (Export e : k3dExports) {
    s.functions[e] = GetProcAddress(s.plugin, kExportNames[e]);
    if (!s.functions[e]) has_3d = false;
  }
  if (!has_3d)
    LogSoundError("ERR04= Error finding OrbiterSound 4.0 (3d) function. Reverting to OrbiterSound 3.5 function (2d).",
                  "");

  if (!s.functions[kGetVesselSoundId]) {
    LogSoundError("ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?", "");
    return -1;
  }
  return Function<GetVesselSoundIdFn>(kGetVesselSoundId)(vessel);
}

int SubstituteStockSound(int id, const char* name, int slot) {
  // a negative id reads as a large unsigned one and is refused with the rest
  auto replace = Function<ReplaceStockSoundFn>(kReplaceStockSound);
  if (!replace || static_cast<unsigned>(id) > kMaxSoundId || !name) return 0;
  ComposeSoundPath(name);
  return replace(id, Sound().sound_path, slot);
}

void LogSoundError(const char* message, const char* detail) {
  SoundModule& s = Sound();
  if (s.sound_log_count >= kMaxSoundLogEntries) return;

  // the header only into a new file
  if (std::FILE* existing = std::fopen(kLogFile, "r")) {
    std::fclose(existing);
  } else if (std::FILE* created = std::fopen(kLogFile, "w")) {
    std::fprintf(created, "%s", kLogHeader);
    std::fclose(created);
  }

  // where the log cannot be written the entry is lost, and does not count
  std::FILE* log = std::fopen(kLogFile, "a");
  if (!log) return;
  std::fprintf(log, "%s\n", kLogSeparator);
  if (message) std::fprintf(log, "%s\n", message);
  if (detail) std::fprintf(log, "%s\n", detail);
  ++s.sound_log_count;
  std::fclose(log);
}

void ComposeSoundPath(const char* name) {
  char* path = Sound().sound_path;
  if (!name) {
    path[0] = '\0';
    return;
  }
  // a longer name is cut, and the buffer always ends in a terminator
  std::size_t n = strnlen(name, kSoundPathSize - 1);
  std::memcpy(path, name, n);
  path[n] = '\0';
}

const char* SoundPath() { return Sound().sound_path; }
