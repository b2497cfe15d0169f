// The tower's keys and the motion of its eleven parts.
#include <string>
#include <vector>

#include "tower_fixture.h"

namespace {

using tower_testing::kAnimEt1;
using tower_testing::kAnimMch;
using tower_testing::kAnimTwr;
using tower_testing::TowerScenario;
using tower_testing::TowerTest;

const char* const kPartKeys[11] = {"TWR", "MCH", "ET1", "ET2", "ET3", "ET4", "ET5", "ET6", "ET7", "ET8", "ET9"};

class MotionTest : public TowerTest {
 protected:
  host::Vessel& LoadTower(const std::string& lines) {
    world_.reset();
    Load(TowerScenario(lines));
    return *World().FindByName("Tower");
  }
  int Press(host::Vessel& tower, DWORD key, std::vector<int> modifiers = {}, bool down = true) {
    char kstate[256] = {};
    for (int m : modifiers) kstate[m] = static_cast<char>(0x80);
    if (down) kstate[key] = static_cast<char>(0x80);
    return tower.Callbacks()->clbkConsumeBufferedKey(key, down, kstate);
  }
  tower_testing::PartLine Part(const std::string& key) { return SavedParts("Tower")[key]; }
};

// Which key moves which part; every other combination is not consumed and changes nothing.
TEST_F(MotionTest, KeyTableWithAndWithoutShift) {
  const struct {
    const char* name;
    DWORD key;
    std::vector<int> modifiers;
    bool down;
    const char* part;  // null: not consumed
  } cases[] = {
      {"G", OAPI_KEY_G, {}, true, "MCH"},
      {"K", OAPI_KEY_K, {}, true, "TWR"},
      {"Ctrl+G", OAPI_KEY_G, {OAPI_KEY_LCONTROL}, true, "MCH"},
      {"LShift+Num1", OAPI_KEY_NUMPAD1, {OAPI_KEY_LSHIFT}, true, "ET1"},
      {"LShift+Num2", OAPI_KEY_NUMPAD2, {OAPI_KEY_LSHIFT}, true, "ET2"},
      {"LShift+Num3", OAPI_KEY_NUMPAD3, {OAPI_KEY_LSHIFT}, true, "ET3"},
      {"LShift+Num4", OAPI_KEY_NUMPAD4, {OAPI_KEY_LSHIFT}, true, "ET4"},
      {"LShift+Num5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, true, "ET5"},
      {"RShift+Num5", OAPI_KEY_NUMPAD5, {OAPI_KEY_RSHIFT}, true, "ET5"},
      {"LShift+Num6", OAPI_KEY_NUMPAD6, {OAPI_KEY_LSHIFT}, true, "ET6"},
      {"LShift+Num7", OAPI_KEY_NUMPAD7, {OAPI_KEY_LSHIFT}, true, "ET7"},
      {"LShift+Num8", OAPI_KEY_NUMPAD8, {OAPI_KEY_LSHIFT}, true, "ET8"},
      {"RShift+Num9", OAPI_KEY_NUMPAD9, {OAPI_KEY_RSHIFT}, true, "ET9"},
      {"Shift+G", OAPI_KEY_G, {OAPI_KEY_LSHIFT}, true, nullptr},
      {"RShift+K", OAPI_KEY_K, {OAPI_KEY_RSHIFT}, true, nullptr},
      {"Num1", OAPI_KEY_NUMPAD1, {}, true, nullptr},
      {"Ctrl+Num5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LCONTROL}, true, nullptr},
      {"Shift+Num0", OAPI_KEY_NUMPAD0, {OAPI_KEY_LSHIFT}, true, nullptr},
      {"J", OAPI_KEY_J, {}, true, nullptr},
      {"G released", OAPI_KEY_G, {}, false, nullptr},
      {"Shift+Num5 released", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, false, nullptr},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    host::Vessel& tower = LoadTower("");
    EXPECT_EQ(Press(tower, tc.key, tc.modifiers, tc.down), tc.part ? 1 : 0);
    auto parts = SavedParts("Tower");
    for (const char* key : kPartKeys)
      EXPECT_EQ(parts[key].state, tc.part && std::string(key) == tc.part ? 1 : 0) << key;
  }
}

// A key press by state; an unknown state is consumed and left as it is.
TEST_F(MotionTest, KeyTransitions) {
  const struct {
    const char* part;
    DWORD key;
    std::vector<int> modifiers;
    int from, to;
  } cases[] = {
      // the tower travel pauses and resumes
      {"TWR", OAPI_KEY_K, {}, 0, 1},
      {"TWR", OAPI_KEY_K, {}, 1, 2},
      {"TWR", OAPI_KEY_K, {}, 2, 1},
      {"TWR", OAPI_KEY_K, {}, 3, 4},
      {"TWR", OAPI_KEY_K, {}, 4, 5},
      {"TWR", OAPI_KEY_K, {}, 5, 4},
      {"TWR", OAPI_KEY_K, {}, 6, 6},
      {"TWR", OAPI_KEY_K, {}, -1, -1},
      // the leaves and the sections reverse
      {"MCH", OAPI_KEY_G, {}, 0, 1},
      {"MCH", OAPI_KEY_G, {}, 1, 3},
      {"MCH", OAPI_KEY_G, {}, 2, 3},
      {"MCH", OAPI_KEY_G, {}, 3, 1},
      {"MCH", OAPI_KEY_G, {}, 4, 4},
      {"MCH", OAPI_KEY_G, {}, 5, 5},
      {"ET5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, 0, 1},
      {"ET5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, 1, 3},
      {"ET5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, 2, 3},
      {"ET5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, 3, 1},
      {"ET5", OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, 7, 7},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(std::string(tc.part) + " from " + std::to_string(tc.from));
    host::Vessel& tower = LoadTower("  " + std::string(tc.part) + " " + std::to_string(tc.from) + " 0.5\n");
    EXPECT_EQ(Press(tower, tc.key, tc.modifiers), 1);
    tower_testing::PartLine p = Part(tc.part);
    EXPECT_EQ(p.state, tc.to);
    EXPECT_EQ(p.pos, 0.5);
  }
}

// One post-step of 1 s by state: only a moving part advances, and only it touches its
// animation.
TEST_F(MotionTest, PostStepByState) {
  const struct {
    const char* part;
    int anim;
    int state;
    double pos;  // after the step
  } cases[] = {
      {"TWR", kAnimTwr, 0, 0.5}, {"TWR", kAnimTwr, 1, 0.525},   {"TWR", kAnimTwr, 2, 0.5},
      {"TWR", kAnimTwr, 3, 0.5}, {"TWR", kAnimTwr, 4, 0.475},   {"TWR", kAnimTwr, 5, 0.5},
      {"TWR", kAnimTwr, 9, 0.5}, {"MCH", kAnimMch, 0, 0.5},     {"MCH", kAnimMch, 1, 0.6},
      {"MCH", kAnimMch, 2, 0.5}, {"MCH", kAnimMch, 3, 0.4},     {"MCH", kAnimMch, 4, 0.5},
      {"ET1", kAnimEt1, 1, 0.6}, {"ET9", kAnimEt1 + 8, 3, 0.4}, {"ET9", kAnimEt1 + 8, 2, 0.5},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(std::string(tc.part) + " in state " + std::to_string(tc.state));
    host::Vessel& tower = LoadTower("  " + std::string(tc.part) + " " + std::to_string(tc.state) + " 0.5\n");
    tower.config.animations[tc.anim]->state = -7;  // marks an animation the tower did not set
    PostStep(tower, 1.0);
    bool moving = tc.pos != 0.5;
    EXPECT_EQ(Animation(tower, tc.anim), moving ? tc.pos : -7.0);
    tower_testing::PartLine p = Part(tc.part);
    EXPECT_EQ(p.state, tc.state);
    EXPECT_NEAR(p.pos, tc.pos, 1e-12);
  }
}

// A motion ends only in the step that carries it past its end; one that lands exactly on the
// end keeps moving for one more step.
TEST_F(MotionTest, EndTestsAreStrict) {
  const struct {
    const char* part;
    int anim;
    int state;
    double dt;  // carries 0.5 exactly onto the end
    double end;
    int end_state;
  } cases[] = {
      {"TWR", kAnimTwr, 1, 20.0, 1.0, 3}, {"TWR", kAnimTwr, 4, 20.0, 0.0, 0},    {"MCH", kAnimMch, 1, 5.0, 1.0, 2},
      {"MCH", kAnimMch, 3, 5.0, 0.0, 0},  {"ET4", kAnimEt1 + 3, 1, 5.0, 1.0, 2}, {"ET4", kAnimEt1 + 3, 3, 5.0, 0.0, 0},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(std::string(tc.part) + " in state " + std::to_string(tc.state));
    host::Vessel& tower = LoadTower("  " + std::string(tc.part) + " " + std::to_string(tc.state) + " 0.5\n");
    PostStep(tower, tc.dt);
    ASSERT_EQ(Animation(tower, tc.anim), tc.end);
    EXPECT_EQ(Part(tc.part).state, tc.state);
    PostStep(tower, 0.01);
    EXPECT_EQ(Animation(tower, tc.anim), tc.end);
    EXPECT_EQ(Part(tc.part).state, tc.end_state);
    EXPECT_EQ(Part(tc.part).text, std::to_string(tc.end_state) + (tc.end == 1.0 ? " 1.0000" : " 0.0000"));
  }
}

TEST_F(MotionTest, OneLongStepCarriesAPartToItsEnd) {
  host::Vessel& tower = LoadTower("  TWR 1 0.1\n  MCH 3 0.9\n");
  PostStep(tower, 1000.0);
  EXPECT_EQ(Part("TWR").text, "3 1.0000");
  EXPECT_EQ(Part("MCH").text, "0 0.0000");
}

TEST_F(MotionTest, TowerTravelTakesFortySecondsAndPausesOnItsKey) {
  host::Vessel& tower = LoadTower("");
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_K), 1);
  for (int n = 0; n < 1000; ++n) World().Step(0.01);  // 10 s
  EXPECT_EQ(Part("TWR").state, 1);
  EXPECT_NEAR(Animation(tower, kAnimTwr), 0.25, 1e-9);

  // paused: the position stays; resumed: the travel goes on from there
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_K), 1);
  for (int n = 0; n < 500; ++n) World().Step(0.01);
  EXPECT_EQ(Part("TWR").state, 2);
  EXPECT_NEAR(Animation(tower, kAnimTwr), 0.25, 1e-9);
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_K), 1);
  for (int n = 0; n < 2990; ++n) World().Step(0.01);  // 39.9 s of travel in all
  EXPECT_EQ(Part("TWR").state, 1);
  EXPECT_LT(Animation(tower, kAnimTwr), 1.0);
  for (int n = 0; n < 20; ++n) World().Step(0.01);
  EXPECT_EQ(Part("TWR").text, "3 1.0000");

  // and back: K, K, K, then it comes to rest at the start
  for (int expected : {4, 5, 4}) {
    ASSERT_EQ(World().PressKey(tower, OAPI_KEY_K), 1);
    EXPECT_EQ(Part("TWR").state, expected);
  }
  for (int n = 0; n < 4010; ++n) World().Step(0.01);
  EXPECT_EQ(Part("TWR").text, "0 0.0000");
}

TEST_F(MotionTest, LeavesReverseFromWhereTheyStand) {
  host::Vessel& tower = LoadTower("  MCH 1 0.4\n");
  ASSERT_EQ(Press(tower, OAPI_KEY_G), 1);
  EXPECT_EQ(Part("MCH").state, 3);
  PostStep(tower, 3.9);
  EXPECT_EQ(Part("MCH").state, 3);
  EXPECT_NEAR(Animation(tower, kAnimMch), 0.01, 1e-12);
  PostStep(tower, 0.2);
  EXPECT_EQ(Part("MCH").text, "0 0.0000");
}

TEST_F(MotionTest, AllElevenPartsMoveIndependently) {
  host::Vessel& tower = LoadTower("  ET3 2 1.0\n  ET6 3 0.3\n");
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_K), 1);
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_G), 1);
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT}, "Shift+Num5"), 1);
  ASSERT_EQ(World().PressKey(tower, OAPI_KEY_NUMPAD9, {OAPI_KEY_RSHIFT}), 1);
  PostStep(tower, 2.0);
  auto parts = SavedParts("Tower");
  const struct {
    const char* key;
    const char* text;
  } expected[] = {{"TWR", "1 0.0500"}, {"MCH", "1 0.2000"}, {"ET1", "0 0.0000"}, {"ET3", "2 1.0000"},
                  {"ET5", "1 0.2000"}, {"ET6", "3 0.1000"}, {"ET9", "1 0.2000"}};
  for (const auto& e : expected) EXPECT_EQ(parts[e.key].text, e.text) << e.key;
  EXPECT_NEAR(Animation(tower, kAnimEt1 + 4), 0.2, 1e-12);
  EXPECT_NEAR(Animation(tower, kAnimEt1 + 5), 0.1, 1e-12);
  EXPECT_EQ(Animation(tower, kAnimEt1 + 2), 1.0);
}

}  // namespace
