// The quarn command as a user runs it: exit codes, the files of a run, the key script beside
// the scenario, the install layout, and that a run repeats exactly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "quarn_process.h"
#include "scenario.h"
#include "world.h"

namespace {

namespace fs = std::filesystem;

using Result = testing_support::QuarnResult;
using testing_support::LinesOf;
using testing_support::Slurp;

class AppTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quarn-app-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(QUARN_SOURCE_DIR) / "data/scenarios/heatshield_drop.scn", dir_ / "drop.scn");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name) << text;
  }

  // Runs a program with arguments (a shell word list) in the test's directory.
  Result Run(const std::string& args, const std::string& exe = QUARN_EXE) {
    return testing_support::RunQuarn(dir_, args, exe);
  }

  fs::path dir_;
};

const char* const kBadScenario =
    "BEGIN_SHIPS\n"
    "A:QUARN/quarn_htshld\n"
    "  RPOS 1 2\n"
    "END\n"
    "END_SHIPS\n";

const char* const kUnknownClass =
    "BEGIN_SHIPS\n"
    "A:QUARN/nothing\n"
    "  STATUS Orbiting Mars\n"
    "  RPOS 3400000 0 0\n"
    "END\n"
    "END_SHIPS\n";

const char* const kMissingModule =
    "BEGIN_SHIPS\n"
    "A:TEST/none\n"
    "  STATUS Orbiting Mars\n"
    "  RPOS 3400000 0 0\n"
    "END\n"
    "END_SHIPS\n";

TEST_F(AppTest, ExitCodes) {
  Write("bad.scn", kBadScenario);
  Write("unknown_class.scn", kUnknownClass);
  Write("missing_module.scn", kMissingModule);
  Write("cfg/vessels/TEST/none.cfg", "Module = quarn_none\n");
  Write("broken.keys", "1.0 press J\n");
  Write("blocker", "a file where a directory should be\n");
  fs::create_directories(dir_ / "empty");

  struct Case {
    std::string args;
    int code;
    std::string err;  // what standard error must hold
  } cases[] = {
      {"", 64, ""},
      {"walk", 64, ""},
      {"run", 64, "SCENARIO"},
      {"run drop.scn --until", 64, "--until"},
      {"run drop.scn --until -1", 64, "--until"},
      {"run drop.scn --until nan", 64, "--until"},
      {"run drop.scn --dt 0", 64, "--dt"},
      {"run drop.scn --dt 1e300", 64, "--dt"},
      {"run drop.scn --progress maybe", 64, "--progress"},
      {"fly extra", 64, ""},
      {"run bad.scn", 65, "quarn: bad.scn:3: expected three finite numbers after RPOS, got 'RPOS 1 2'"},
      {"run drop.scn --keys broken.keys", 65, "quarn: broken.keys:1: expected a command"},
      {"run missing.scn", 66, "quarn: cannot open scenario file missing.scn: no such file"},
      {"run empty", 66, "quarn: cannot open scenario file empty: not a file"},
      {"run drop.scn --keys missing.keys", 66, "quarn: cannot open key script missing.keys"},
      {"run unknown_class.scn", 69, "class 'QUARN/nothing': no class file "},
      {"run missing_module.scn --config cfg", 69, "class TEST/none: cannot load module library "},
      {"run drop.scn --modules empty", 69, "empty/quarn_heatshield.so"},
      {"run drop.scn --out blocker/sub --until 0.1", 73, "quarn: cannot write directory blocker/sub"},
  };
  for (const Case& c : cases) {
    Result r = Run(c.args);
    EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "out" / "bad")) << "nothing is written for a run that cannot start";

  Result help = Run("run --help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("--until"), std::string::npos);
}

TEST_F(AppTest, RunWritesItsFiles) {
  Result r = Run("run drop.scn --until 2 --progress none");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("created"), std::string::npos) << r.out;
  const fs::path out = dir_ / "out" / "drop";

  host::Scenario final_scn = host::ParseScenario(Slurp(out / "final.scn"), "final.scn");
  ASSERT_EQ(final_scn.vessels.size(), 1u);
  EXPECT_EQ(final_scn.vessels[0].name, "KTX_Heatshield");
  EXPECT_EQ(final_scn.focus, "KTX_Heatshield");
  EXPECT_FALSE(final_scn.description.empty());

  std::vector<std::string> events = LinesOf(Slurp(out / "events.jsonl"));
  ASSERT_FALSE(events.empty());
  for (const std::string& line : events) {
    nlohmann::json e = nlohmann::json::parse(line);
    EXPECT_TRUE(e["t"].is_number() && e["event"].is_string() && e["vessel"].is_string()) << line;
  }
  nlohmann::json created = nlohmann::json::parse(events[0]);
  EXPECT_EQ(created["event"], "created");
  EXPECT_EQ(created["class"], "QUARN/quarn_htshld");
  EXPECT_NEAR(created["alt"].get<double>(), 5000, 0.01);
  EXPECT_NEAR(created["airspeed"].get<double>(), 30, 0.01);

  std::vector<std::string> rows = LinesOf(Slurp(out / "telemetry.csv"));
  ASSERT_EQ(rows.size(), 22u);  // header, then t = 0, 0.1, ... 2.0
  EXPECT_EQ(rows[0],
            "t,vessel,alt,airspeed,vspeed,groundspeed,mass,propellant,pitch,bank,drag,mach,dynp,density,main,"
            "contact,exhaust,thr0,thr1,thr2,stackmass");
  EXPECT_EQ(rows[1].rfind("0.000,KTX_Heatshield,5000.000,30.000,-30.000,", 0), 0u) << rows[1];
  EXPECT_EQ(rows[21].rfind("2.000,KTX_Heatshield,", 0), 0u) << rows[21];
  for (const std::string& row : rows)
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), std::count(rows[0].begin(), rows[0].end(), ',')) << row;

  EXPECT_TRUE(fs::exists(out / "hud.txt"));  // the heat shield draws nothing: empty
  const std::string page = Slurp(out / "report.html");
  EXPECT_NE(page.find("<script type=\"application/json\" id=\"quarn-data\">{\"scenario\":\"drop\""), std::string::npos);
}

TEST_F(AppTest, KeyScriptBesideTheScenario) {
  Write("drop.keys",
        "# saved mid-flight, a command for a vessel that is not there, one after the end\n"
        "0.5 save mid/state.scn\n"
        "1.0 focus Nobody\n"
        "3.0 key J\n");
  Result r = Run("run drop.scn --until 2 --out results --progress none");
  ASSERT_EQ(r.code, 0) << r.err;
  host::Scenario mid = host::ParseScenario(Slurp(dir_ / "mid/state.scn"), "state.scn");
  ASSERT_EQ(mid.vessels.size(), 1u);
  EXPECT_NE(Slurp(dir_ / "results/events.jsonl").find("no vessel 'Nobody'"), std::string::npos);
  EXPECT_NE(r.err.find("1 key-script command(s) after t = 2 s not applied"), std::string::npos) << r.err;
}

TEST_F(AppTest, RunsRepeatExactly) {
  ASSERT_EQ(Run("run drop.scn --until 20 --out a --progress none").code, 0);
  ASSERT_EQ(Run("run drop.scn --until 20 --out b --progress none").code, 0);
  for (const char* f : {"final.scn", "events.jsonl", "telemetry.csv", "report.html"})
    EXPECT_EQ(Slurp(dir_ / "a" / f), Slurp(dir_ / "b" / f)) << f;
}

TEST_F(AppTest, ProgressBarWhenAsked) {
  Result r = Run("run drop.scn --until 1 --progress bar");
  ASSERT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
}

// An install tree: <prefix>/bin/quarn finds <prefix>/lib/quarn and <prefix>/share/quarn.
TEST_F(AppTest, InstallLayoutAndFlyWithoutItsScenario) {
  const fs::path prefix = dir_ / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "lib" / "quarn");
  fs::create_directories(prefix / "share" / "quarn" / "scenarios");
  fs::copy_file(QUARN_EXE, prefix / "bin" / "quarn");
  fs::copy_file(QUARN_HOST_LIB, prefix / "lib" / fs::path(QUARN_HOST_LIB).filename());  // the build run path
  fs::copy_file(QUARN_HOST_LIB, prefix / "lib" / "quarn" / fs::path(QUARN_HOST_LIB).filename());
  fs::copy_file(QUARN_HEATSHIELD_LIB, prefix / "lib" / "quarn" / "quarn_heatshield.so");
  fs::copy(fs::path(QUARN_SOURCE_DIR) / "data" / "config", prefix / "share" / "quarn" / "config",
           fs::copy_options::recursive);
  const std::string exe = (prefix / "bin" / "quarn").string();

  Result run = Run("run drop.scn --until 0.5 --progress none", exe);
  EXPECT_EQ(run.code, 0) << run.err;

  Result fly = Run("fly", exe);
  EXPECT_EQ(fly.code, 66);
  EXPECT_NE(fly.err.find((prefix / "share/quarn/scenarios/mars_edl.scn").string()), std::string::npos) << fly.err;
  EXPECT_FALSE(fs::exists(dir_ / "out" / "mars_edl"));
}

}  // namespace
