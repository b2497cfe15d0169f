// The bus's buffered keys with and without modifiers, and its head-up display: positions on a
// standard and a wide display, the velocity figures, and the lines that come and go.
#include <string>
#include <vector>

#include "bus_fixture.h"

namespace {

using bus_testing::BusTest;

TEST_F(BusTest, KeysChangeTheirStatesOnlyWithoutModifiers) {
  const struct {
    const char* name;
    const char* lines;  // the bus's state before the key
    int key;
    std::vector<int> modifiers;
    int taken;
    const char* ant;
    const char* slp;
  } cases[] = {
      {"G deploys the wings", "", OAPI_KEY_G, {}, 1, "0 0.0000 0.3400 0.0000", "1 0.0000 0.0000"},
      {"G while deploying: taken, no change", "  SLP 1 0.5 0\n", OAPI_KEY_G, {}, 1, nullptr, "1 0.5000 0.0000"},
      {"G locks", "  SLP 2 1 0.2\n", OAPI_KEY_G, {}, 1, nullptr, "3 1.0000 0.2000"},
      {"G tracks again", "  SLP 3 1 0.5\n", OAPI_KEY_G, {}, 1, nullptr, "2 1.0000 0.5000"},
      {"G leaves other states", "  SLP 7 1 0.5\n", OAPI_KEY_G, {}, 1, nullptr, "7 1.0000 0.5000"},
      {"K deploys", "", OAPI_KEY_K, {}, 1, "1 0.0000 0.3400 0.0000", nullptr},
      {"K while deploying stows", "  ANT 1 0.4 0.34 0\n", OAPI_KEY_K, {}, 1, "3 0.4000 0.3400 0.0000", nullptr},
      {"K while pointing stows", "  ANT 2 1 0.6 0.2\n", OAPI_KEY_K, {}, 1, "3 1.0000 0.6000 0.2000", nullptr},
      {"K while stowing deploys", "  ANT 3 0.4 0.34 0\n", OAPI_KEY_K, {}, 1, "1 0.4000 0.3400 0.0000", nullptr},
      {"K leaves other states", "  ANT 5 1 0.6 0.2\n", OAPI_KEY_K, {}, 1, "5 1.0000 0.6000 0.2000", nullptr},
      {"Control+G", "", OAPI_KEY_G, {OAPI_KEY_LCONTROL}, 0, nullptr, "0 0.0000 0.0000"},
      {"RControl+K", "", OAPI_KEY_K, {OAPI_KEY_RCONTROL}, 0, "0 0.0000 0.3400 0.0000", nullptr},
      {"Shift+G: taken, no change", "", OAPI_KEY_G, {OAPI_KEY_LSHIFT}, 1, nullptr, "0 0.0000 0.0000"},
      {"RShift+K: taken, no change", "", OAPI_KEY_K, {OAPI_KEY_RSHIFT}, 1, "0 0.0000 0.3400 0.0000", nullptr},
      {"Shift+Control+G: Shift wins",
       "",
       OAPI_KEY_G,
       {OAPI_KEY_LSHIFT, OAPI_KEY_LCONTROL},
       1,
       nullptr,
       "0 0.0000 0.0000"},
      {"Shift+any key is taken", "", 0x1E, {OAPI_KEY_LSHIFT}, 1, "0 0.0000 0.3400 0.0000", "0 0.0000 0.0000"},
      {"other keys are not", "", 0x1E, {}, 0, "0 0.0000 0.3400 0.0000", "0 0.0000 0.0000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    world_.reset();
    host::Vessel& bus = LoadBus(c.lines);
    EXPECT_EQ(Press(bus, c.key, c.modifiers), c.taken);
    const bus_testing::BusLines saved = Saved();
    if (c.ant) {
      EXPECT_EQ(saved.ant, c.ant);
    }
    if (c.slp) {
      EXPECT_EQ(saved.slp, c.slp);
    }
  }
}

TEST_F(BusTest, JWithModifiersReleasesNothing) {
  for (int modifier : {OAPI_KEY_LSHIFT, OAPI_KEY_RSHIFT, OAPI_KEY_LCONTROL, OAPI_KEY_RCONTROL}) {
    SCOPED_TRACE(modifier);
    world_.reset();
    host::Vessel& bus = NewBus();
    const bool shift = modifier == OAPI_KEY_LSHIFT || modifier == OAPI_KEY_RSHIFT;
    EXPECT_EQ(Press(bus, OAPI_KEY_J, {modifier}), shift ? 1 : 0);
    EXPECT_EQ(World().FindByName("KTX_Capsule"), nullptr);
    EXPECT_EQ(Saved().vlq, "0");
  }
}

TEST_F(BusTest, KAlternatesBetweenDeployingAndStowing) {
  host::Vessel& bus = NewBus();
  for (int expected : {1, 3, 1, 3, 1}) {
    Press(bus, OAPI_KEY_K);
    EXPECT_EQ(Saved().hga_state, expected);
  }
}

TEST_F(BusTest, KeyReleasesAreNotTaken) {
  host::Vessel& bus = NewBus();
  char kstate[256] = {};
  for (int key : {OAPI_KEY_G, OAPI_KEY_J, OAPI_KEY_K, OAPI_KEY_NUMPAD5, 0x1E}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(bus.Callbacks()->clbkConsumeBufferedKey(key, false, kstate), 0);
    kstate[OAPI_KEY_LSHIFT] = static_cast<char>(0x80);
    EXPECT_EQ(bus.Callbacks()->clbkConsumeBufferedKey(key, false, kstate), 0);
    kstate[OAPI_KEY_LSHIFT] = 0;
  }
  EXPECT_EQ(Saved().ant, "0 0.0000 0.3400 0.0000");
  EXPECT_EQ(Saved().slp, "0 0.0000 0.0000");
  EXPECT_EQ(World().FindByName("KTX_Capsule"), nullptr);
}

struct Line {
  int x, y;
  DWORD colour;
  std::string text;
};

void ExpectHud(const std::vector<host::HudText>& got, const std::vector<Line>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(want[i].text);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
    EXPECT_EQ(got[i].colour, want[i].colour);
    EXPECT_EQ(got[i].text, want[i].text);
  }
}

constexpr DWORD kGreen = 0x66FF66, kYellow = 0x66FFFF;

// With full tanks and the capsule aboard, ln(4332/1932) and ln(3732/1332) of 3223.5789 m/s.
TEST_F(BusTest, HudOnStandardAndWideDisplays) {
  host::Vessel& bus = NewBus();
  ExpectHud(World().DrawHud(bus, 1024, 768), {
                                                 {10, 167, kGreen, "Current Available dV 2602.95 m/s"},
                                                 {10, 183, kGreen, "Post-Sep Available dV 3321.13 m/s"},
                                                 {10, 199, kGreen, "Shift+NumPad = Reaction Wheel Att.Control"},
                                                 {10, 215, kGreen, "G = Deploy/Lock Solar Panels"},
                                                 {10, 231, kGreen, "K = Deploy/Stow HGA"},
                                                 {10, 247, kGreen, "J = Jettison EDL Capsule"},
                                             });
  ExpectHud(World().DrawHud(bus, 1920, 1080), {
                                                  {310, 113, kGreen, "Current Available dV 2602.95 m/s"},
                                                  {310, 135, kGreen, "Post-Sep Available dV 3321.13 m/s"},
                                                  {310, 158, kGreen, "Shift+NumPad = Reaction Wheel Att.Control"},
                                                  {310, 180, kGreen, "G = Deploy/Lock Solar Panels"},
                                                  {310, 203, kGreen, "K = Deploy/Stow HGA"},
                                                  {310, 225, kGreen, "J = Jettison EDL Capsule"},
                                              });
}

TEST_F(BusTest, HudAfterTheReleaseAndWithTheRotationStop) {
  host::Vessel& bus = NewBus();
  Press(bus, OAPI_KEY_NUMPAD5, {OAPI_KEY_LSHIFT});
  Press(bus, OAPI_KEY_J);
  ExpectHud(World().DrawHud(bus, 1024, 768), {
                                                 {10, 167, kGreen, "Current Available dV 3321.13 m/s"},
                                                 {10, 199, kGreen, "Shift+NumPad = Reaction Wheel Att.Control"},
                                                 {10, 199, kYellow, std::string(42, ' ') + "Kill Rot.Active"},
                                                 {10, 215, kGreen, "G = Deploy/Lock Solar Panels"},
                                                 {10, 231, kGreen, "K = Deploy/Stow HGA"},
                                             });
  // the figure follows the propellant
  bus.config.propellants[0]->mass = 1200;
  EXPECT_EQ(World().DrawHud(bus)[0].text, "Current Available dV 2070.59 m/s");
}

}  // namespace
