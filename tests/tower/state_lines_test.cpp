// The tower's scenario lines: what loading restores and what saving writes.
#include <string>

#include "tower_fixture.h"

namespace {

using tower_testing::TowerScenario;
using tower_testing::TowerTest;

const char* const kPartKeys[11] = {"TWR", "MCH", "ET1", "ET2", "ET3", "ET4", "ET5", "ET6", "ET7", "ET8", "ET9"};

class StateLinesTest : public TowerTest {
 protected:
  host::Vessel& LoadTower(const std::string& lines) {
    world_.reset();
    Load(TowerScenario(lines));
    return *World().FindByName("Tower");
  }
};

TEST_F(StateLinesTest, WithoutTowerLinesEveryPartRestsAtItsStart) {
  host::Vessel& tower = LoadTower("");
  auto parts = SavedParts("Tower");
  ASSERT_EQ(parts.size(), 11u);
  for (const char* key : kPartKeys) EXPECT_EQ(parts[key].text, "0 0.0000") << key;
  for (const auto& anim : tower.config.animations) EXPECT_EQ(anim->state, 0.0);
  for (const auto& th : tower.config.thrusters) EXPECT_EQ(th->level, 0.0);
  EXPECT_TRUE(tower.state.landed);
}

// Lines as read, and the part lines they leave (as a save writes them) with the animation
// states pushed after the last line.
TEST_F(StateLinesTest, LoadingTakesEachKeyAsWritten) {
  const struct {
    const char* name;
    const char* lines;
    const char* part;
    const char* saved;
    double anim;
  } cases[] = {
      {"upper case", "  TWR 3 1.0\n", "TWR", "3 1.0000", 1.0},
      {"lower case", "  twr 1 0.5\n", "TWR", "1 0.5000", 0.5},
      {"mixed case", "  mCh 2 1\n", "MCH", "2 1.0000", 1.0},
      {"state only", "  MCH 2\n", "MCH", "2 0.0000", 0.0},
      {"key only", "  ET4\n", "ET4", "0 0.0000", 0.0},
      {"value malformed after the state", "  ET2 3 half\n", "ET2", "3 0.0000", 0.0},
      {"value malformed from the start", "  ET2 x 0.5\n", "ET2", "0 0.0000", 0.0},
      {"later line wins", "  ET7 1 0.25\n  ET7 3 0.75\n", "ET7", "3 0.7500", 0.75},
      {"later short line keeps the earlier position", "  ET8 1 0.25\n  ET8 2\n", "ET8", "2 0.2500", 0.25},
      {"value right after the key", "  TWR1 0.5\n", "TWR", "1 0.5000", 0.5},
      {"letters after the key belong to the value", "  ET9x 2 1\n", "ET9", "0 0.0000", 0.0},
      {"state out of range kept", "  TWR 7 0.3\n", "TWR", "7 0.3000", 0.3},
      {"position out of range kept", "  ET1 0 1.5\n", "ET1", "0 1.5000", 1.5},
      {"rounded to four places on saving", "  MCH 3 0.123456\n", "MCH", "3 0.1235", 0.123456},
  };
  const int anim_of[11] = {0, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    host::Vessel& tower = LoadTower(tc.lines);
    auto parts = SavedParts("Tower");
    for (int k = 0; k < 11; ++k) {
      bool is_part = std::string(kPartKeys[k]) == tc.part;
      EXPECT_EQ(parts[kPartKeys[k]].text, is_part ? tc.saved : "0 0.0000") << kPartKeys[k];
      EXPECT_EQ(Animation(tower, anim_of[k]), is_part ? tc.anim : 0.0) << kPartKeys[k];
    }
  }
}

TEST_F(StateLinesTest, SavedBlockHasStandardLinesFirstThenTheParts) {
  LoadTower("  ET5 1 0.5\n  TWR 2 0.25\n  MCH 3 0.75\n");
  std::string saved = World().SaveScenario();
  std::size_t block = saved.find("Tower:brakkatower\n");
  ASSERT_NE(block, std::string::npos);
  std::string tower = saved.substr(block, saved.find("END\n", block) - block);
  EXPECT_LT(tower.find("  STATUS Landed Earth"), tower.find("  TWR "));
  EXPECT_NE(tower.find("  TWR 2 0.2500\n"
                       "  MCH 3 0.7500\n"
                       "  ET1 0 0.0000\n"
                       "  ET2 0 0.0000\n"
                       "  ET3 0 0.0000\n"
                       "  ET4 0 0.0000\n"
                       "  ET5 1 0.5000\n"
                       "  ET6 0 0.0000\n"
                       "  ET7 0 0.0000\n"
                       "  ET8 0 0.0000\n"
                       "  ET9 0 0.0000\n"),
            std::string::npos)
      << tower;
  EXPECT_EQ(tower.substr(tower.size() - 15), "  ET9 0 0.0000\n");
}

TEST_F(StateLinesTest, SaveAfterLoadRoundTrips) {
  LoadTower("  TWR 4 0.333333\n  MCH 1 0.5\n  ET3 2 1\n  ET9 3 0.0001\n");
  std::string first = World().SaveScenario();
  world_.reset();
  Load(first);
  EXPECT_EQ(World().SaveScenario(), first);
}

// A motion under way when the scenario was saved carries on after loading.
TEST_F(StateLinesTest, ARestoredMotionCarriesOn) {
  host::Vessel& tower = LoadTower("  TWR 1 0.5\n  MCH 3 0.5\n  ET2 2 0.5\n");
  for (int n = 0; n < 1990; ++n) World().Step(0.01);  // 19.9 s
  EXPECT_EQ(SavedParts("Tower")["TWR"].state, 1);
  EXPECT_EQ(SavedParts("Tower")["MCH"].text, "0 0.0000");  // 5 s back to its start
  EXPECT_EQ(SavedParts("Tower")["ET2"].text, "2 0.5000");  // at rest: stays where it was put
  for (int n = 0; n < 20; ++n) World().Step(0.01);
  EXPECT_EQ(SavedParts("Tower")["TWR"].text, "3 1.0000");
  EXPECT_EQ(Animation(tower, tower_testing::kAnimTwr), 1.0);
}

}  // namespace
