// The sound connector: the log file and its entries, the entry cap, the stand-in plug-ins found
// through GetModuleHandleA("OrbiterSound.dll"), the connection ids the bus passes on, the
// wave-file name buffer, and a working directory where no log can be written.
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bus_fixture.h"
#include "sound/sound_connector.h"

namespace {

using bus_testing::BusTest;

const std::string kHeader = "Orbiter Sound Log Started\n*****************************\n\n";
const std::string kSeparator = std::string(38, '-') + "\n";
const std::string kNotInstalled =
    "ERR01= Vessel->ConnectToOrbiterSoundDLL: Unable to connect to OrbiterSound - not installed or activated\n";
const std::string kNullHandle =
    "ERR01= Vessel->ConnectToOrbiterSoundDLL: A vessel passed a NULL handle to this function\n";
const std::string kMissingRoutines =
    "ERR02= ConnectToOrbiterSoundDLL (4.0 SDK): Unable to find routines. Missing or outdated OrbiterSound (<3.0?)\n";
const std::string kNoVesselId = "ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?\n";
const std::string kNo3d =
    "ERR04= Error finding OrbiterSound 4.0 (3d) function. Reverting to OrbiterSound 3.5 function (2d).\n";
// Every entry of the connector has an empty detail line.
std::string Entry(const std::string& message) { return kSeparator + message + "\n"; }

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// A stand-in plug-in loaded into the process for as long as the object lives.
class Plugin {
 public:
  explicit Plugin(const std::string& variant)
      : path_(std::string(BUS_PLUGIN_DIR) + "/" + variant + "/libOrbiterSound.so") {
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle_, nullptr) << dlerror();
  }
  ~Plugin() {
    if (handle_) dlclose(handle_);
    // gone, so that the next variant is the one found
    EXPECT_EQ(dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  }
  void SetSoundId(int id) { reinterpret_cast<void (*)(int)>(dlsym(handle_, "TestSetSoundId"))(id); }
  int ReplaceCalls() { return reinterpret_cast<int (*)()>(dlsym(handle_, "TestReplaceCalls"))(); }
  std::string LastReplace(int* id, int* slot) {
    return reinterpret_cast<const char* (*)(int*, int*)>(dlsym(handle_, "TestLastReplace"))(id, slot);
  }

 private:
  std::string path_;
  void* handle_ = nullptr;
};

TEST_F(BusTest, WithoutThePluginEachBusLogsOneEntryAndWorks) {
  host::Vessel& bus = NewBus();
  EXPECT_EQ(LogText(), kHeader + Entry(kNotInstalled));
  NewBus(host::Identity3(), "Bus2");
  NewBus(host::Identity3(), "Bus3");
  EXPECT_EQ(LogText(), kHeader + Entry(kNotInstalled) + Entry(kNotInstalled) + Entry(kNotInstalled));

  Press(bus, OAPI_KEY_G);
  World().Step(0.1);
  EXPECT_EQ(World().DrawHud(bus).size(), 6u);
}

TEST_F(BusTest, LogFromAnEarlierRunOnlyReceivesTheNewEntries) {
  std::ofstream(run_dir_ / "OrbiterSound_Log.txt") << "earlier run\n";
  NewBus();
  EXPECT_EQ(LogText(), "earlier run\n" + Entry(kNotInstalled));
  // a new library load counts afresh and appends after it
  world_.reset();
  NewBus();
  EXPECT_EQ(LogText(), "earlier run\n" + Entry(kNotInstalled) + Entry(kNotInstalled));
}

TEST_F(BusTest, LogStopsAfter101Entries) {
  for (int i = 0; i < 105; ++i) NewBus(host::Identity3(), "Bus" + std::to_string(i));
  const std::string log = LogText();
  EXPECT_EQ(Count(log, kSeparator), 101);
  EXPECT_EQ(Count(log, kNotInstalled), 101);
  EXPECT_EQ(log.rfind(kHeader, 0), 0u);
}

TEST_F(BusTest, PluginVariants) {
  const struct {
    const char* variant;
    std::string log;  // empty: no log file at all
    bool connected;
  } cases[] = {
      {"full", "", true},
      {"no_3d", kHeader + Entry(kNo3d), true},
      {"no_vessel_id", kHeader + Entry(kNoVesselId), false},
      {"no_set_frequency", kHeader + Entry(kMissingRoutines), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant);
    world_.reset();
    std::filesystem::remove(run_dir_ / "OrbiterSound_Log.txt");
    Plugin plugin(c.variant);
    plugin.SetSoundId(12);
    NewBus();
    EXPECT_EQ(std::filesystem::exists(run_dir_ / "OrbiterSound_Log.txt"), !c.log.empty());
    EXPECT_EQ(LogText(), c.log);
    // a connected bus replaces the attitude sound, slot 10
    EXPECT_EQ(plugin.ReplaceCalls(), c.connected ? 1 : 0);
    if (c.connected) {
      int id = 0, slot = 0;
      EXPECT_EQ(plugin.LastReplace(&id, &slot), "Sound\\Vessel\\attsustain.wav");
      EXPECT_EQ(id, 12);
      EXPECT_EQ(slot, 10);
    }
    world_.reset();  // the bus goes before its plug-in
  }
}

TEST_F(BusTest, ConnectionIdsUpTo59ArePassedOn) {
  const struct {
    int id;
    int replace_calls;
  } cases[] = {{0, 1}, {59, 1}, {60, 0}, {-1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    world_.reset();
    Plugin plugin("full");
    plugin.SetSoundId(c.id);
    NewBus();
    EXPECT_EQ(plugin.ReplaceCalls(), c.replace_calls);
    world_.reset();
  }
}

// The connector compiled into this test: the calls the bus makes only with fixed arguments.
TEST_F(BusTest, ConnectorRefusesWhatItCannotPassOn) {
  EXPECT_EQ(ConnectToOrbiterSoundDLL(nullptr), -1);
  EXPECT_NE(LogText().find(kNullHandle), std::string::npos);
  // no connection: nothing to call
  EXPECT_EQ(SubstituteStockSound(5, "a.wav", 10), 0);

  Plugin plugin("full");
  plugin.SetSoundId(59);
  int handle = 0;
  ASSERT_EQ(ConnectToOrbiterSoundDLL(&handle), 59);
  EXPECT_EQ(SubstituteStockSound(59, "a.wav", 3), 1);
  EXPECT_EQ(SubstituteStockSound(60, "a.wav", 3), 0);
  EXPECT_EQ(SubstituteStockSound(-1, "a.wav", 3), 0);
  EXPECT_EQ(SubstituteStockSound(59, nullptr, 3), 0);
  EXPECT_EQ(plugin.ReplaceCalls(), 1);

  // a name longer than the buffer reaches the plug-in cut to 511 characters
  const std::string long_name(700, 'w');
  EXPECT_EQ(SubstituteStockSound(7, long_name.c_str(), 3), 1);
  int id = 0, slot = 0;
  EXPECT_EQ(plugin.LastReplace(&id, &slot), long_name.substr(0, kSoundPathSize - 1));
  // a fresh connection leaves nothing of the old one to call once the plug-in is gone
  ConnectToOrbiterSoundDLL(nullptr);
  EXPECT_EQ(SubstituteStockSound(7, "a.wav", 3), 0);
}

TEST_F(BusTest, ComposeSoundPathCopiesSafely) {
  const struct {
    std::string name;
    std::string path;
  } cases[] = {
      {"Sound\\Vessel\\attsustain.wav", "Sound\\Vessel\\attsustain.wav"},
      {"", ""},
      {std::string(511, 'a'), std::string(511, 'a')},
      {std::string(512, 'b'), std::string(511, 'b')},
      {std::string(5000, 'c'), std::string(511, 'c')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.size());
    ComposeSoundPath(c.name.c_str());
    EXPECT_EQ(SoundPath(), c.path);
  }
  ComposeSoundPath(nullptr);
  EXPECT_EQ(SoundPath(), std::string());
}

TEST_F(BusTest, EntryWithoutMessageOrDetail) {
  LogSoundError(nullptr, nullptr);
  LogSoundError("message", nullptr);
  LogSoundError(nullptr, "detail");
  EXPECT_EQ(LogText(), kHeader + kSeparator + kSeparator + "message\n" + kSeparator + "detail\n");
}

// The working directory is gone: no log can be opened or created there, and the bus flies on.
// (Permissions would not stop a privileged user; a removed directory stops everyone.)
TEST_F(BusTest, BusWorksWhereNoLogCanBeWritten) {
  const std::filesystem::path gone = run_dir_ / "gone";
  std::filesystem::create_directories(gone);
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);

  LogSoundError("message", "");
  host::Vessel& bus = NewBus();
  Press(bus, OAPI_KEY_G);
  Press(bus, OAPI_KEY_K);
  for (int i = 0; i < 50; ++i) World().Step(0.5);
  EXPECT_EQ(Saved().solar_state, 2);
  EXPECT_EQ(Saved().hga_state, 2);
  EXPECT_EQ(World().DrawHud(bus).size(), 6u);

  // a log in the way as a directory: it opens for reading but takes no entry
  std::filesystem::current_path(run_dir_);
  std::filesystem::create_directories(run_dir_ / "OrbiterSound_Log.txt");
  LogSoundError("message", "");
  world_.reset();
  NewBus();
  EXPECT_TRUE(std::filesystem::is_directory(run_dir_ / "OrbiterSound_Log.txt"));
}

}  // namespace
