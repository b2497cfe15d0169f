// The launch-pad scenario with its key script: the tower holds the idle launcher, lights the
// pad while it fires, lets it go near full thrust, and moves its parts on the keys.
#include <fstream>
#include <iterator>
#include <string>

#include "key_script.h"
#include "kinematics.h"
#include "tower_fixture.h"

namespace {

using tower_testing::TowerTest;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LaunchPadTest : public TowerTest {
 protected:
  void SetUp() override {
    TowerTest::SetUp();
    std::string scn = testing_support::SourceDir() + "/data/scenarios/launch_pad.scn";
    World().LoadScenario(host::ParseScenario(ReadFile(scn), scn));
    script_ = host::ParseKeyScript(ReadFile(scn.substr(0, scn.size() - 4) + ".keys"), "launch_pad.keys");
    tower_ = World().FindByName("Tower");
    launcher_ = World().FindByName("Launcher");
    ASSERT_NE(tower_, nullptr);
    ASSERT_NE(launcher_, nullptr);
  }

  // Steps to time t, applying the script's commands as their time comes.
  void RunUntil(double t) {
    while (World().SimTime() < t - 1e-9) {
      for (; next_ < script_.commands.size() && script_.commands[next_].t <= World().SimTime() + 1e-9; ++next_) {
        const host::KeyCommand& c = script_.commands[next_];
        host::Vessel* v = c.vessel.empty() ? World().Focus() : World().FindByName(c.vessel);
        ASSERT_NE(v, nullptr) << c.line;
        if (c.kind == host::KeyCommand::Key)
          World().PressKey(*v, c.key, c.modifiers, c.text);
        else if (c.kind == host::KeyCommand::Throttle)
          v->iface->SetThrusterGroupLevel(THGROUP_MAIN, c.level);
      }
      World().Step(0.01);
    }
  }

  double Emitters() const { return tower_->config.thrusters[0]->level; }
  VECTOR3 InTowerFrame() const {
    VECTOR3 local;
    tower_->iface->Global2Local(host::GlobalPos(*launcher_), local);
    return local;
  }
  double LauncherHeight() const { return host::Altitude(*launcher_); }

  host::KeyScript script_;
  std::size_t next_ = 0;
  host::Vessel* tower_ = nullptr;
  host::Vessel* launcher_ = nullptr;
};

TEST_F(LaunchPadTest, HeldAtThePadThenReleasedAboveEightyPercent) {
  VECTOR3 standing = InTowerFrame();
  RunUntil(0.01);
  ASSERT_EQ(Held(*tower_), launcher_);
  // the launcher stood with its hold-down point on the pad point: capture hardly moves it
  EXPECT_LT(length(InTowerFrame() - standing), 0.05);
  const double height = LauncherHeight();
  EXPECT_NEAR(height, 25.0, 0.05);  // standing on its tail
  EXPECT_EQ(Emitters(), 0.0);

  // firing at half thrust: held, the pad lit at full level
  RunUntil(29.9);
  EXPECT_EQ(Held(*tower_), launcher_);
  EXPECT_NEAR(LauncherHeight(), height, 0.05);
  for (int k = 0; k < 5; ++k) EXPECT_DOUBLE_EQ(tower_->config.thrusters[k]->level, 1.0);

  // full thrust: released at once, and it climbs away
  RunUntil(30.05);
  EXPECT_EQ(Held(*tower_), nullptr);
  const auto detached = World().Events().Named("detached");
  ASSERT_EQ(detached.size(), 1u);
  EXPECT_NEAR(detached[0]->t, 30.0, 0.02);
  EXPECT_EQ(detached[0]->vessel, "Launcher");
  RunUntil(35.0);
  double h35 = LauncherHeight();
  EXPECT_GT(h35, height + 10.0);
  EXPECT_GT(Emitters(), 0.0);  // still near the pad: the flame fades as it climbs

  // out of the flame radius the pad goes dark; the tower still stands where it was
  RunUntil(45.0);
  EXPECT_GT(LauncherHeight(), 150.0);
  EXPECT_EQ(Emitters(), 0.0);
  EXPECT_TRUE(tower_->state.landed);
  EXPECT_EQ(World().Events().Named("attached").size(), 1u);
}

TEST_F(LaunchPadTest, PartsComeToRestWhereTheKeysSentThem) {
  RunUntil(45.0);
  auto parts = SavedParts("Tower");
  EXPECT_EQ(parts["TWR"].text, "3 1.0000");
  EXPECT_EQ(parts["MCH"].text, "2 1.0000");
  EXPECT_EQ(parts["ET5"].text, "2 1.0000");
  EXPECT_EQ(parts["ET4"].text, "0 0.0000");
}

}  // namespace
