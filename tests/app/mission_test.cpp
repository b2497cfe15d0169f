// The reference mission as `quarn fly` flies it: the entry state its scenario claims, every step
// of the sequence at its conditions, byte-identical reruns, and resuming from saved files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "quarn_process.h"
#include "scenario.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing_support::LinesOf;
using testing_support::RunQuarn;
using testing_support::Slurp;

// Mars, from the planetary fact sheet.
constexpr double kMarsGM = 4.2828e13;     // m^3/s^2
constexpr double kMarsRadius = 3.3895e6;  // m, mean
constexpr double kMarsGravity = kMarsGM / (kMarsRadius * kMarsRadius);

constexpr double kStep = 0.01;  // s, quarn's default step length
constexpr double kDeg = M_PI / 180;

const char* const kCapsuleClass = "QUARN/quarn_edl_capsule";
const char* const kLanderClass = "QUARN/quarn_vlqn";
const char* const kHeatShieldClass = "QUARN/quarn_htshld";

fs::path Scenarios() { return fs::path(QUARN_SOURCE_DIR) / "data" / "scenarios"; }

std::vector<json> ReadEvents(const fs::path& file) {
  std::vector<json> events;
  for (const std::string& line : LinesOf(Slurp(file))) events.push_back(json::parse(line));
  return events;
}

// The first event of a kind for a vessel of a class (classes come from the `created` events).
const json* First(const std::vector<json>& events, const std::string& kind, const std::string& cls,
                  const std::string& op = "") {
  std::map<std::string, std::string> class_of;
  for (const json& e : events) {
    if (e["event"] == "created") class_of[e["vessel"]] = e["class"];
    if (e["event"] == kind && class_of[e["vessel"]] == cls && (op.empty() || e.value("op", "") == op)) return &e;
  }
  return nullptr;
}

// The standard and module lines of each vessel of a saved scenario.
struct SavedVessel {
  host::StandardLines standard;
  std::map<std::string, std::string> lines;  // key -> whole line
};

std::map<std::string, SavedVessel> ReadSaved(const fs::path& file) {
  std::map<std::string, SavedVessel> out;
  host::Scenario s = host::ParseScenario(Slurp(file), file.string());
  for (const host::ScenarioVessel& v : s.vessels) {
    SavedVessel& sv = out[v.name];
    for (const host::ScenarioLine& l : v.lines) {
      host::ParseStandardLine(l.text.c_str(), sv.standard);
      sv.lines[l.text.substr(0, l.text.find(' '))] = l.text;
    }
  }
  return out;
}

// Distance over the surface between two landed vessels, m.
double SurfaceDistance(const host::StandardLines& a, const host::StandardLines& b) {
  const double dlat = (a.latitude - b.latitude) * kDeg;
  const double dlon = (a.longitude - b.longitude) * kDeg * std::cos(a.latitude * kDeg);
  return kMarsRadius * std::hypot(dlat, dlon);
}

// The scenario says its state is the flown landers' entry interface (about 125 km up, 5.6 km/s,
// -12 degrees) propagated back; vis-viva and the angular momentum give the state at that height.
TEST(MissionScenario, ReachesTheEntryInterfaceItDescribes) {
  host::Scenario s = host::ParseScenario(Slurp(Scenarios() / "mars_edl.scn"), "mars_edl.scn");
  ASSERT_EQ(s.vessels.size(), 1u);
  host::StandardLines bus;
  for (const host::ScenarioLine& l : s.vessels[0].lines) host::ParseStandardLine(l.text.c_str(), bus);
  ASSERT_TRUE(bus.has_rpos && bus.has_rvel);
  EXPECT_EQ(bus.body, "Mars");

  const double r0 = length(bus.rpos), v0 = length(bus.rvel);
  const double r = kMarsRadius + 125e3;
  const double v = std::sqrt(v0 * v0 + 2 * kMarsGM * (1 / r - 1 / r0));
  const double h = length(crossp(bus.rpos, bus.rvel));
  const double gamma = -std::acos(h / (r * v)) / kDeg;  // descending
  EXPECT_NEAR(v, 5600, 1);
  EXPECT_NEAR(gamma, -12, 0.01);
  EXPECT_LT(dotp(bus.rpos, bus.rvel), 0);  // on its way down
}

class MissionTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("quarn-mission-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fly_ = RunQuarn(dir_, "fly --out flight", QUARN_EXE);
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static fs::path dir_;
  static testing_support::QuarnResult fly_;
};

fs::path MissionTest::dir_;
testing_support::QuarnResult MissionTest::fly_;

TEST_F(MissionTest, EveryStepOfTheSequenceInOrderAtItsConditions) {
  ASSERT_EQ(fly_.code, 0) << fly_.err;
  const std::vector<json> events = ReadEvents(dir_ / "flight" / "events.jsonl");

  const json* release = First(events, "created", kCapsuleClass);
  const json* lander = First(events, "created", kLanderClass);
  const json* joined = First(events, "attached", kLanderClass);
  const json* chute = First(events, "config", kCapsuleClass, "SetPMI");  // the canopy's inertia
  const json* jettison = First(events, "created", kHeatShieldClass);
  const json* detached = First(events, "detached", kLanderClass);
  const json* lander_down = First(events, "touchdown", kLanderClass);
  const json* capsule_down = First(events, "touchdown", kCapsuleClass);
  const std::vector<const json*> sequence = {release,  lander,   joined,      chute,
                                             jettison, detached, lander_down, capsule_down};
  for (const json* e : sequence) ASSERT_NE(e, nullptr);

  for (std::size_t i = 1; i + 1 < sequence.size(); ++i)
    EXPECT_LE((*sequence[i - 1])["t"].get<double>(), (*sequence[i])["t"].get<double>()) << i;
  EXPECT_GT((*capsule_down)["t"].get<double>(), (*detached)["t"].get<double>());
  EXPECT_EQ((*release)["t"].get<double>(), 10.0);  // the J key

  struct Gate {
    const json* e;
    double below_alt, below_speed;
  };
  for (const Gate& g : {Gate{chute, 11200, 500}, Gate{jettison, 6850, 120}, Gate{detached, 1200, 75}}) {
    EXPECT_LT((*g.e)["alt"].get<double>(), g.below_alt) << g.e->dump();
    EXPECT_LT((*g.e)["airspeed"].get<double>(), g.below_speed) << g.e->dump();
  }
  EXPECT_EQ(First(events, "deleted", kCapsuleClass), nullptr);  // no break-up

  const auto saved = ReadSaved(dir_ / "flight" / "final.scn");
  ASSERT_TRUE(saved.count("KTX_Capsule") && saved.count("Velquin"));
  EXPECT_EQ(saved.at("KTX_Capsule").lines.at("CHT"), "CHT 1 2 0 0.0000 2 1.0000");
  EXPECT_EQ(saved.at("Velquin").lines.at("DSC").substr(0, 5), "DSC 3");
  EXPECT_TRUE(saved.at("Velquin").standard.landed);

  std::size_t at = fly_.out.find("Flight summary");
  ASSERT_NE(at, std::string::npos) << fly_.out;
  for (const char* moment :
       {"capsule released", "lander created", "parachute deployed", "heat shield jettisoned", "lander released",
        "powered descent", "lander touchdown", "capsule touchdown", "parachute collapsed", "peak deceleration",
        "peak drag", "propellant left", "m from the capsule", "times faster"})
    EXPECT_NE(fly_.out.find(moment, at), std::string::npos) << moment;
  EXPECT_EQ(fly_.out.find("Did not happen"), std::string::npos);
}

TEST_F(MissionTest, TwoRunsWriteTheSameBytes) {
  ASSERT_EQ(fly_.code, 0) << fly_.err;
  ASSERT_EQ(RunQuarn(dir_, "fly --out again", QUARN_EXE).code, 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_ / "flight")) {
    const fs::path name = entry.path().filename();
    EXPECT_EQ(Slurp(entry.path()), Slurp(dir_ / "again" / name)) << name;
    ++files;
  }
  EXPECT_GE(files, 4);
}

// How far a resumed flight may drift from the flight it was saved from.
struct Tolerance {
  double time, speed, position;  // s, m/s, m
};

// The saved state is rounded to 1 mm, 1e-6 m/s and 1e-6 degree, the modules' fractions and timers
// to four decimals (1e-4): each moves the state by much less than one step of motion, so an event
// gated by a threshold fires in the same step or the next. Hence one step: event times within a
// step, touchdown speeds within a step of free fall, resting places within a step of motion at the
// fastest touchdown (the capsule, about 42 m/s under its parachute).
constexpr Tolerance kOneStep{kStep + 1e-6, kMarsGravity* kStep, 45 * kStep};

// The lander's saved line has no room for its pulse cycle, so a lander saved in its guided burn
// resumes at the start of a cycle: up to one half-cycle (0.05 s) of all three 1200 N clusters on a
// lander of at least 235 kg differs, dv <= 0.77 m/s. Over the 14.6 s left to its touchdown that
// moves it by up to 11 m, which at its mean descent rate from 205 m (14 m/s) is 0.8 s.
constexpr double kPulseDv = 0.05 * 3 * 1200 / 235;
constexpr Tolerance kPulsePhase{0.8, kPulseDv, kPulseDv * 14.6};

struct Resume {
  const char* file;
  double t;  // s into the flight when it was saved
  Tolerance lander;
};

TEST_F(MissionTest, ResumedFromEachSaveItEndsTheSame) {
  const std::string keys = (Scenarios() / "mars_edl_saves.keys").string();
  const std::string scenario = (Scenarios() / "mars_edl.scn").string();
  ASSERT_EQ(RunQuarn(dir_, "run '" + scenario + "' --keys '" + keys + "' --out saving --progress none", QUARN_EXE).code,
            0);
  const std::vector<json> reference = ReadEvents(dir_ / "saving" / "events.jsonl");
  const auto reference_end = ReadSaved(dir_ / "saving" / "final.scn");
  const char* const kKinds[] = {"created", "deleted", "attached", "detached", "touchdown", "crash"};
  auto key_event = [&](const json& e) {
    for (const char* k : kKinds)
      if (e["event"] == k) return true;
    return false;
  };

  for (const Resume& r : {Resume{"mars_edl_entry.scn", 230, kOneStep}, Resume{"mars_edl_chute.scn", 400, kOneStep},
                          Resume{"mars_edl_burn.scn", 450, kPulsePhase}}) {
    SCOPED_TRACE(r.file);
    const std::string out = fs::path(r.file).stem().string();
    const fs::path saved = dir_ / "out" / "saves" / r.file;
    ASSERT_TRUE(fs::exists(saved));
    char until[32];
    std::snprintf(until, sizeof until, "%g", 900 - r.t);
    auto resumed = RunQuarn(
        dir_, "run '" + saved.string() + "' --until " + until + " --out " + out + " --progress none", QUARN_EXE);
    ASSERT_EQ(resumed.code, 0) << resumed.err;

    std::vector<const json*> expected, got;
    for (const json& e : reference)
      if (key_event(e) && e["t"].get<double>() > r.t) expected.push_back(&e);
    const std::vector<json> events = ReadEvents(dir_ / out / "events.jsonl");
    for (const json& e : events)
      if (key_event(e) && e["t"].get<double>() > 0) got.push_back(&e);  // not what the load created
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      const json &a = *expected[i], &b = *got[i];
      SCOPED_TRACE(a.dump());
      const Tolerance& tol = a["vessel"] == "Velquin" ? r.lander : kOneStep;
      EXPECT_EQ(a["event"], b["event"]);
      EXPECT_EQ(a["vessel"], b["vessel"]);
      EXPECT_NEAR(a["t"].get<double>(), b["t"].get<double>() + r.t, tol.time);
      if (a["event"] == "touchdown") {
        EXPECT_NEAR(a["vspeed"].get<double>(), b["vspeed"].get<double>(), tol.speed);
        EXPECT_NEAR(a["hspeed"].get<double>(), b["hspeed"].get<double>(), tol.speed);
      }
    }

    const auto end = ReadSaved(dir_ / out / "final.scn");
    ASSERT_EQ(end.size(), reference_end.size());
    for (const auto& [name, want] : reference_end) {
      SCOPED_TRACE(name);
      ASSERT_TRUE(end.count(name));
      const SavedVessel& have = end.at(name);
      ASSERT_TRUE(want.standard.landed && have.standard.landed);
      EXPECT_LT(SurfaceDistance(want.standard, have.standard),
                name == "Velquin" ? r.lander.position : kOneStep.position);
      for (const char* key : {"CHT", "DSC", "VLQ"})
        if (want.lines.count(key)) {
          EXPECT_EQ(have.lines.at(key), want.lines.at(key));
        }
    }
  }
}

}  // namespace
