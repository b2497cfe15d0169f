// The vessel lifecycle as the host drives it: set-up, scenario lines,
// post-creation, steps, vessels created and deleted during a step, and
// unloading.
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "module_loader.h"
#include "world_fixture.h"

namespace {

using testing_support::WorldTest;

const char *const kProbeScenario = R"(BEGIN_ENVIRONMENT
  System Sol
  Date MJD 61270.5
END_ENVIRONMENT
BEGIN_SHIPS
Maker:test/probe
  STATUS Orbiting Mars
  RPOS 3600000 0 0
  RVEL 0 0 3400
END
Victim:test/probe
  STATUS Orbiting Mars
  RPOS 3600000 100 0
  RVEL 0 0 3400
END
END_SHIPS
)";

class LifecycleTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    AddClass("test/probe", "Module = quarn_test_probe\n");
    marker_ = dir_ / "unloaded";
    setenv("QUARN_PROBE_EXIT_MARKER", marker_.c_str(), 1);
  }
  std::string Log() {
    auto *m = World().Loader().Load("quarn_test_probe");
    auto log =
        reinterpret_cast<const char *(*)()>(dlsym(m->handle, "ProbeLog"));
    auto clear = reinterpret_cast<void (*)()>(dlsym(m->handle, "ProbeClear"));
    std::string s = log();
    clear();
    return s;
  }
  std::filesystem::path marker_;
};

TEST_F(LifecycleTest, CallbacksInTheirOrder) {
  Load(kProbeScenario);
  EXPECT_EQ(
      Log(),
      "Maker:setclasscaps Maker:loadstate Victim:setclasscaps Victim:loadstate "
      "Maker:postcreation Victim:postcreation ");

  // Maker creates "Made" and deletes "Victim" in its pre-step: Victim misses
  // the rest of the step and goes at its end; Made is set up at once and steps
  // from the next frame on.
  World().Step(0.01);
  EXPECT_EQ(Log(),
            "Maker:prestep Made:setclasscaps Maker:poststep Victim:exit ");
  World().Step(0.01);
  EXPECT_EQ(Log(), "Made:postcreation Maker:prestep Made:prestep "
                   "Maker:poststep Made:poststep ");

  const auto created = World().Events().Named("created");
  ASSERT_EQ(created.size(), 3u);
  EXPECT_EQ(created[2]->vessel, "Made");
  EXPECT_EQ(std::get<std::string>(*created[2]->Find("by")), "Maker");
  const auto deleted = World().Events().Named("deleted");
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0]->vessel, "Victim");
  EXPECT_EQ(std::get<std::string>(*deleted[0]->Find("by")), "Maker");
}

TEST_F(LifecycleTest, StaleHandlesFindNothing) {
  Load(kProbeScenario);
  OBJHANDLE victim = oapiGetVesselByName("Victim");
  ASSERT_NE(victim, nullptr);
  World().Step(0.01);
  EXPECT_EQ(World().Find(victim), nullptr);
  EXPECT_EQ(oapiGetVesselInterface(victim), nullptr);
  EXPECT_EQ(oapiGetVesselCount(), 2u);
}

TEST_F(LifecycleTest, SecondVesselOfANameGetsAUniqueOne) {
  Load(kProbeScenario);
  VESSELSTATUS vs{};
  vs.rbody = oapiGetObjectByName("Mars");
  vs.rpos = {3.6e6, 0, 0};
  EXPECT_STREQ(World().CreateVessel("Maker", "test/probe", vs).name.c_str(),
               "Maker_2");
}

TEST_F(LifecycleTest, ModulesUnloadAtTheEndAndTheirExitHookRuns) {
  Load(kProbeScenario);
  World().Step(0.01);
  EXPECT_FALSE(std::filesystem::exists(marker_));
  world_.reset();
  EXPECT_TRUE(std::filesystem::exists(marker_));
}

TEST_F(WorldTest, UnknownClassNamesTheClassAndTheFileLookedFor) {
  VESSELSTATUS vs{};
  try {
    World().CreateVessel("X", "QUARN/nothing_here", vs);
    FAIL() << "no error";
  } catch (const host::HostError &e) {
    EXPECT_EQ(e.code, host::kExitUnavailable);
    EXPECT_NE(std::string(e.what()).find("QUARN/nothing_here"),
              std::string::npos)
        << e.what();
    EXPECT_NE(std::string(e.what()).find("nothing_here.cfg"), std::string::npos)
        << e.what();
  }
}

TEST_F(WorldTest, MissingModuleLibraryNamesTheFile) {
  AddClass("test/ghost", "Module = quarn_no_such_module\n");
  VESSELSTATUS vs{};
  try {
    World().CreateVessel("X", "test/ghost", vs);
    FAIL() << "no error";
  } catch (const host::HostError &e) {
    EXPECT_EQ(e.code, host::kExitUnavailable);
    EXPECT_NE(std::string(e.what()).find("quarn_no_such_module.so"),
              std::string::npos)
        << e.what();
    EXPECT_NE(std::string(e.what()).find("test/ghost"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(World().VesselCount(), 0u);
}

TEST_F(WorldTest, ScenarioErrorsNameFileLineAndExpectation) {
  const std::string head = "BEGIN_SHIPS\nShield:QUARN/quarn_htshld\n";
  struct Case {
    std::string body;
    int line;
    const char *expected;
  };
  for (const Case &c :
       {Case{"  STATUS Orbiting Mars\n  RPOS 1 2\nEND\nEND_SHIPS\n", 4, "RPOS"},
        Case{"  STATUS Orbiting Vulcan\n  RPOS 3500000 0 0\nEND\nEND_SHIPS\n",
             2, "body"},
        Case{"  STATUS Orbiting Mars\n  WOBBLE 3\nEND\nEND_SHIPS\n", 4,
             "WOBBLE"},
        Case{"  STATUS Orbiting Mars\n  PRPLEVEL 0:1\nEND\nEND_SHIPS\n", 2,
             "PRPLEVEL"}}) {
    world_.reset();
    try {
      Load(head + c.body);
      ADD_FAILURE() << "accepted: " << c.body;
    } catch (const host::HostError &e) {
      EXPECT_EQ(e.code, host::kExitDataErr);
      std::string what = e.what();
      EXPECT_EQ(what.rfind("test.scn:" + std::to_string(c.line) + ":", 0), 0u)
          << what;
      EXPECT_NE(what.find(c.expected), std::string::npos) << what;
    }
  }
}

} // namespace
