// Key scripts: key names and scan codes, the commands, and what the reader refuses.
#include <gtest/gtest.h>

#include <string>

#include "key_script.h"
#include "world.h"

namespace {

using host::HostError;
using host::KeyCode;
using host::KeyCommand;
using host::ParseKeyScript;

TEST(KeyNames, ScanCodes) {
  const std::pair<const char*, int> table[] = {
      {"A", 0x1E},    {"B", 0x30},     {"C", 0x2E},    {"D", 0x20},    {"E", 0x12},     {"F", 0x21},
      {"G", 0x22},    {"H", 0x23},     {"I", 0x17},    {"J", 0x24},    {"K", 0x25},     {"L", 0x26},
      {"M", 0x32},    {"N", 0x31},     {"O", 0x18},    {"P", 0x19},    {"Q", 0x10},     {"R", 0x13},
      {"S", 0x1F},    {"T", 0x14},     {"U", 0x16},    {"V", 0x2F},    {"W", 0x11},     {"X", 0x2D},
      {"Y", 0x15},    {"Z", 0x2C},     {"1", 0x02},    {"2", 0x03},    {"3", 0x04},     {"4", 0x05},
      {"5", 0x06},    {"6", 0x07},     {"7", 0x08},    {"8", 0x09},    {"9", 0x0A},     {"0", 0x0B},
      {"Num0", 0x52}, {"Num1", 0x4F},  {"Num2", 0x50}, {"Num3", 0x51}, {"Num4", 0x4B},  {"Num5", 0x4C},
      {"Num6", 0x4D}, {"Num7", 0x47},  {"Num8", 0x48}, {"Num9", 0x49}, {"Shift", 0x2A}, {"RShift", 0x36},
      {"Ctrl", 0x1D}, {"RCtrl", 0x9D}, {"j", 0x24},    {"num5", 0x4C}, {"SHIFT", 0x2A},
  };
  for (const auto& [name, code] : table) EXPECT_EQ(KeyCode(name), code) << name;
  for (const char* unknown : {"", "Num", "Num10", "F1", "Alt", "JJ", "Shift+J", " J"})
    EXPECT_EQ(KeyCode(unknown), -1) << unknown;
}

TEST(KeyScript, ReadsCommandsInTimeOrderStably) {
  const char* text =
      "# the reference flight\n"
      "12.0 key J                     # press and release, to the focus vessel\n"
      "12.0 key Shift+Num5 Bus        # to a named vessel\n"
      "50.0 save out/t 50.scn\n"
      "20.0 hold Ctrl+RShift+Num2 3.5\n"
      "\n"
      "   30 throttle Launcher 0.95\n"
      "0 focus Velquin\n"
      "12.0 key K\n";
  host::KeyScript s = ParseKeyScript(text, "flight.keys");
  EXPECT_EQ(s.path, "flight.keys");
  ASSERT_EQ(s.commands.size(), 7u);
  const auto& c = s.commands;
  EXPECT_EQ(c[0].kind, KeyCommand::Focus);
  EXPECT_EQ(c[0].vessel, "Velquin");
  EXPECT_EQ(c[0].line, 8);

  EXPECT_EQ(c[1].kind, KeyCommand::Key);  // equal times keep their order in the file
  EXPECT_EQ(c[1].key, 0x24);
  EXPECT_TRUE(c[1].modifiers.empty());
  EXPECT_TRUE(c[1].vessel.empty());
  EXPECT_EQ(c[1].text, "J");
  EXPECT_EQ(c[2].key, 0x4C);
  EXPECT_EQ(c[2].modifiers, std::vector<int>{0x2A});
  EXPECT_EQ(c[2].vessel, "Bus");
  EXPECT_EQ(c[2].text, "Shift+Num5");
  EXPECT_EQ(c[3].key, 0x25);
  EXPECT_EQ(c[3].line, 9);

  EXPECT_EQ(c[4].kind, KeyCommand::Hold);
  EXPECT_DOUBLE_EQ(c[4].t, 20.0);
  EXPECT_EQ(c[4].key, 0x50);
  EXPECT_EQ(c[4].modifiers, (std::vector<int>{0x1D, 0x36}));
  EXPECT_DOUBLE_EQ(c[4].duration, 3.5);

  EXPECT_EQ(c[5].kind, KeyCommand::Throttle);
  EXPECT_EQ(c[5].vessel, "Launcher");
  EXPECT_DOUBLE_EQ(c[5].level, 0.95);

  EXPECT_EQ(c[6].kind, KeyCommand::Save);
  EXPECT_EQ(c[6].path, "out/t 50.scn");
  EXPECT_EQ(c[6].line, 4);
}

TEST(KeyScript, EmptyScriptHasNoCommands) {
  EXPECT_TRUE(ParseKeyScript("", "e.keys").commands.empty());
  EXPECT_TRUE(ParseKeyScript("# nothing\n\n   \n", "e.keys").commands.empty());
}

struct BadScript {
  const char* text;
  std::string message;
};

class KeyScriptRefusal : public testing::TestWithParam<BadScript> {};

TEST_P(KeyScriptRefusal, NamesPathLineAndWhatWasExpected) {
  try {
    ParseKeyScript(GetParam().text, "bad.keys");
    FAIL() << "accepted: " << GetParam().text;
  } catch (const HostError& e) {
    EXPECT_EQ(e.code, host::kExitDataErr);
    EXPECT_EQ(e.what(), GetParam().message);
  }
}

const std::string kCombo =
    "a key combination such as J or Shift+Num5 (keys A-Z, 0-9, Num0-Num9; modifiers Shift, RShift, Ctrl, RCtrl before "
    "the key)";

INSTANTIATE_TEST_SUITE_P(
    Table, KeyScriptRefusal,
    testing::Values(
        BadScript{"key J\n",
                  "bad.keys:1: expected a time in seconds, finite and not negative, at the start, got 'key J'"},
        BadScript{"# ok\n-1 key J\n",
                  "bad.keys:2: expected a time in seconds, finite and not negative, at the start, got '-1 key J'"},
        BadScript{"nan key J\n",
                  "bad.keys:1: expected a time in seconds, finite and not negative, at the start, got 'nan key J'"},
        BadScript{"inf key J\n",
                  "bad.keys:1: expected a time in seconds, finite and not negative, at the start, got 'inf key J'"},
        BadScript{"1.0s key J\n",
                  "bad.keys:1: expected a time in seconds, finite and not negative, at the start, got '1.0s key J'"},
        BadScript{"5\n", "bad.keys:1: expected a command (key, hold, throttle, focus, save) after the time, got '5'"},
        BadScript{"5 press J\n",
                  "bad.keys:1: expected a command (key, hold, throttle, focus, save) after the time, got '5 press J'"},
        BadScript{"5 key\n", "bad.keys:1: expected T key COMBO [VESSEL], got '5 key'"},
        BadScript{"5 key J Bus extra\n", "bad.keys:1: expected T key COMBO [VESSEL], got '5 key J Bus extra'"},
        BadScript{"5 key F1\n", "bad.keys:1: expected " + kCombo + ", got '5 key F1'"},
        BadScript{"5 key Shift+\n", "bad.keys:1: expected " + kCombo + ", got '5 key Shift+'"},
        BadScript{"5 key +J\n", "bad.keys:1: expected " + kCombo + ", got '5 key +J'"},
        BadScript{"5 key J+Shift\n", "bad.keys:1: expected " + kCombo + ", got '5 key J+Shift'"},
        BadScript{"5 hold Num2\n", "bad.keys:1: expected T hold COMBO SECONDS, got '5 hold Num2'"},
        BadScript{"5 hold Num2 0\n",
                  "bad.keys:1: expected a hold time in seconds, finite and positive, got '5 hold Num2 0'"},
        BadScript{"5 hold Num2 inf\n",
                  "bad.keys:1: expected a hold time in seconds, finite and positive, got '5 hold Num2 inf'"},
        BadScript{"5 throttle 0.5\n", "bad.keys:1: expected T throttle VESSEL LEVEL, got '5 throttle 0.5'"},
        BadScript{"5 throttle L 1.5\n", "bad.keys:1: expected a throttle level from 0 to 1, got '5 throttle L 1.5'"},
        BadScript{"5 throttle L -0.1\n", "bad.keys:1: expected a throttle level from 0 to 1, got '5 throttle L -0.1'"},
        BadScript{"5 focus\n", "bad.keys:1: expected T focus VESSEL, got '5 focus'"},
        BadScript{"5 focus A B\n", "bad.keys:1: expected T focus VESSEL, got '5 focus A B'"},
        BadScript{"5 save\n", "bad.keys:1: expected T save PATH, got '5 save'"},
        BadScript{"5 save # just a comment\n", "bad.keys:1: expected T save PATH, got '5 save'"},
        BadScript{"5 key J\x07\n", "bad.keys:1: expected a line of text, got '5 key J\\x07'"}));

}  // namespace
