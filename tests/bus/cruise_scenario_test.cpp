// The cruise scenario with its key script: the wings end up tracking, the antenna pointing, and
// the capsule leaves when J is pressed.
#include <fstream>
#include <sstream>
#include <string>

#include "bus_fixture.h"
#include "key_script.h"

namespace {

using bus_testing::BusTest;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(BusTest, CruiseScenarioDeploysAndReleases) {
  const std::string scn = testing_support::SourceDir() + "/data/scenarios/bus_cruise.scn";
  const std::string keys = testing_support::SourceDir() + "/data/scenarios/bus_cruise.keys";
  World().LoadScenario(host::ParseScenario(ReadFile(scn), scn));
  const host::KeyScript script = host::ParseKeyScript(ReadFile(keys), keys);
  host::Vessel& bus = *World().FindByName("Bus");

  // the key commands at their times, the focus vessel taking them
  const double dt = 0.1;
  std::size_t next = 0;
  double capsule_seen_at = -1;
  for (long step = 0; step < 9000; ++step) {
    for (; next < script.commands.size() && script.commands[next].t <= World().SimTime() + 1e-9; ++next) {
      const host::KeyCommand& c = script.commands[next];
      ASSERT_EQ(c.kind, host::KeyCommand::Key);
      World().PressKey(*World().Focus(), c.key, c.modifiers, c.text);
      if (c.key == OAPI_KEY_J) {
        host::Vessel* capsule = World().FindByName("KTX_Capsule");
        ASSERT_NE(capsule, nullptr);
        capsule_seen_at = World().SimTime();
        const MATRIX3& R = bus.state.kin.R;
        const VECTOR3 dr = host::TMul(R, capsule->state.kin.rpos - bus.state.kin.rpos);
        const VECTOR3 dv = host::TMul(R, capsule->state.kin.rvel - bus.state.kin.rvel);
        EXPECT_NEAR(dr.x, 0, 1e-6);
        EXPECT_NEAR(dr.y, 0, 1e-6);
        EXPECT_NEAR(dr.z, 2.225, 1e-6);
        EXPECT_NEAR(dv.x, 0, 1e-9);
        EXPECT_NEAR(dv.y, 0, 1e-9);
        EXPECT_NEAR(dv.z, 0.37, 1e-9);
      }
    }
    World().Step(dt);
  }
  EXPECT_EQ(next, script.commands.size());
  EXPECT_GT(capsule_seen_at, 0);

  const bus_testing::BusLines end = Saved();
  EXPECT_EQ(end.solar_state, 2);
  EXPECT_EQ(end.solar_deploy, 1);
  EXPECT_EQ(end.hga_state, 2);
  EXPECT_EQ(end.hga_deploy, 1);
  EXPECT_EQ(end.capsule_released, 1);
  EXPECT_EQ(bus.config.empty_mass, 1332);
}

}  // namespace
