// Scenario files: the block reader, the standard vessel lines, and a write -> read round trip.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "key_script.h"
#include "scenario.h"
#include "world.h"

namespace {

using host::HostError;
using host::ParseScenario;
using host::ParseStandardLine;
using host::StandardLines;

TEST(ScenarioReader, ReadsBlocksAndSkipsWhatItNeedNotUse) {
  const char* text =
      "; a comment before anything\n"
      "BEGIN_DESC\n"
      "  Two vessels.\n"
      "  ; kept: a description is text\n"
      "END_DESC\n"
      "\n"
      "BEGIN_ENVIRONMENT\n"
      "  System Sol\n"
      "  Date MJD 61300.25\n"
      "END_ENVIRONMENT\r\n"
      "BEGIN_CAMERA\n"
      "  anything at all 1 2 3\n"
      "END_CAMERA\n"
      "BEGIN_FOCUS\n"
      "  Ship B\n"
      "END_FOCUS\n"
      "BEGIN_SHIPS\n"
      "A:QUARN/quarn_htshld\n"
      "  STATUS Orbiting Mars\n"
      "  ; a comment inside a block\n"
      "\n"
      "  RPOS 1 2 3\n"
      "END\n"
      "B:brakkatower\n"
      "END\n"
      "END_SHIPS\n";
  host::Scenario sc = ParseScenario(text, "two.scn");
  EXPECT_EQ(sc.path, "two.scn");
  EXPECT_EQ(sc.description, (std::vector<std::string>{"Two vessels.", "; kept: a description is text"}));
  EXPECT_EQ(sc.system, "Sol");
  EXPECT_DOUBLE_EQ(sc.mjd, 61300.25);
  EXPECT_EQ(sc.focus, "B");
  ASSERT_EQ(sc.vessels.size(), 2u);
  EXPECT_EQ(sc.vessels[0].name, "A");
  EXPECT_EQ(sc.vessels[0].class_name, "QUARN/quarn_htshld");
  EXPECT_EQ(sc.vessels[0].line, 18);
  ASSERT_EQ(sc.vessels[0].lines.size(), 2u);
  EXPECT_EQ(sc.vessels[0].lines[0].number, 19);
  EXPECT_EQ(sc.vessels[0].lines[0].text, "STATUS Orbiting Mars");
  EXPECT_EQ(sc.vessels[0].lines[1].number, 22);
  EXPECT_EQ(sc.vessels[0].lines[1].text, "RPOS 1 2 3");
  EXPECT_EQ(sc.vessels[1].name, "B");
  EXPECT_TRUE(sc.vessels[1].lines.empty());
}

struct BadScenario {
  const char* text;
  const char* message;
};

class ScenarioRefusal : public testing::TestWithParam<BadScenario> {};

TEST_P(ScenarioRefusal, NamesPathLineAndWhatWasExpected) {
  try {
    ParseScenario(GetParam().text, "bad.scn");
    FAIL() << "accepted: " << GetParam().text;
  } catch (const HostError& e) {
    EXPECT_EQ(e.code, host::kExitDataErr);
    EXPECT_STREQ(e.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScenarioRefusal,
    testing::Values(
        BadScenario{"FOO\n",
                    "bad.scn:1: expected BEGIN_DESC, BEGIN_ENVIRONMENT, BEGIN_FOCUS, BEGIN_SHIPS or another BEGIN_ "
                    "block, got 'FOO'"},
        BadScenario{"BEGIN_DESC\nno end\n", "bad.scn:2: expected END_DESC, got the end of the file"},
        BadScenario{"BEGIN_ENVIRONMENT\n  Date MJD nan\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected Date MJD and a finite number, got 'Date MJD nan'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  Date JD 2461270\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected Date MJD and a finite number, got 'Date JD 2461270'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  Date MJD 61270.5x\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected Date MJD and a finite number, got 'Date MJD 61270.5x'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  Date MJD 1e9\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected a date between MJD -313698 and 416787 (years 1000 to 3000), got 'Date MJD "
                    "1e9'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  System\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected System and one name, got 'System'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  Weather fine\nEND_ENVIRONMENT\n",
                    "bad.scn:2: expected System NAME, Date MJD x or END_ENVIRONMENT, got 'Weather fine'"},
        BadScenario{"BEGIN_ENVIRONMENT\n  System Sol\n",
                    "bad.scn:2: expected END_ENVIRONMENT, got the end of the file"},
        BadScenario{"BEGIN_FOCUS\n  Ship Two Words\nEND_FOCUS\n",
                    "bad.scn:2: expected Ship NAME or END_FOCUS, got 'Ship Two Words'"},
        BadScenario{"BEGIN_SHIPS\nNoClass\nEND\nEND_SHIPS\n",
                    "bad.scn:2: expected a vessel header Name:Class or END_SHIPS, got 'NoClass'"},
        BadScenario{"BEGIN_SHIPS\n:Class\nEND\nEND_SHIPS\n",
                    "bad.scn:2: expected a vessel header Name:Class or END_SHIPS, got ':Class'"},
        BadScenario{"BEGIN_SHIPS\nName:\nEND\nEND_SHIPS\n",
                    "bad.scn:2: expected a vessel header Name:Class or END_SHIPS, got 'Name:'"},
        BadScenario{"BEGIN_SHIPS\nTwo Words:Class\nEND\nEND_SHIPS\n",
                    "bad.scn:2: expected a vessel header Name:Class or END_SHIPS, got 'Two Words:Class'"},
        BadScenario{"BEGIN_SHIPS\nA:B\n  STATUS Orbiting Mars\nEND_SHIPS\n",
                    "bad.scn:4: expected END closing the block of 'A', got 'END_SHIPS'"},
        BadScenario{"BEGIN_SHIPS\nA:B\n  STATUS Orbiting Mars\n", "bad.scn:3: expected END, got the end of the file"},
        BadScenario{"BEGIN_SHIPS\nA:B\nEND\n", "bad.scn:3: expected END_SHIPS, got the end of the file"},
        BadScenario{"BEGIN_CAMERA\n  x\n", "bad.scn:2: expected END_CAMERA, got the end of the file"},
        BadScenario{"BEGIN_SHIPS\nA:B\n  STATUS\x01 Orbiting Mars\nEND\nEND_SHIPS\n",
                    "bad.scn:3: expected a line of text, got '  STATUS\\x01 Orbiting Mars'"}));

TEST(ScenarioReader, RefusesNulBytesAndOverlongVesselLines) {
  std::string with_nul = std::string("BEGIN_FOCUS\n  Ship A") + '\0' + "B\nEND_FOCUS\n";
  try {
    ParseScenario(with_nul, "nul.scn");
    FAIL();
  } catch (const HostError& e) {
    EXPECT_STREQ(e.what(), "nul.scn:2: expected a line of text, got '  Ship A\\x00B'");
  }
  std::string long_line = "BEGIN_SHIPS\nA:B\n  XYZ " + std::string(300, '1') + "\nEND\nEND_SHIPS\n";
  try {
    ParseScenario(long_line, "long.scn");
    FAIL();
  } catch (const HostError& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("long.scn:3: expected a vessel line of at most 255 characters, got 'XYZ 111", 0),
        0u)
        << e.what();
  }
}

// --- standard lines

TEST(StandardLines, ReadsEveryKind) {
  StandardLines s;
  for (const char* line :
       {"STATUS Landed Mars", "RPOS 1.5 -2 3e3", "rvel 4 5 6", "AROT 10 20 30", "VROT 0.5 0 -0.5", "POS -80.6 28.6",
        "HEADING 270", "PRPLEVEL 0:1.000000 2:0.25", "THLEVEL 3:0.5", "NAVMODE 1 2", "ATTACHED 0:1,KTX_Capsule"}) {
    EXPECT_TRUE(ParseStandardLine(line, s)) << line << ": " << s.error;
  }
  EXPECT_TRUE(s.error.empty());
  EXPECT_TRUE(s.landed);
  EXPECT_EQ(s.body, "Mars");
  EXPECT_TRUE(s.has_rpos && s.has_rvel && s.has_arot && s.has_vrot && s.has_pos);
  EXPECT_DOUBLE_EQ(s.rpos.z, 3000);
  EXPECT_DOUBLE_EQ(s.rvel.y, 5);
  EXPECT_DOUBLE_EQ(s.arot.z, 30);
  EXPECT_DOUBLE_EQ(s.vrot.z, -0.5);
  EXPECT_DOUBLE_EQ(s.longitude, -80.6);
  EXPECT_DOUBLE_EQ(s.latitude, 28.6);
  EXPECT_DOUBLE_EQ(s.heading, 270);
  EXPECT_EQ(s.prplevel, (std::map<int, double>{{0, 1.0}, {2, 0.25}}));
  EXPECT_EQ(s.thlevel, (std::map<int, double>{{3, 0.5}}));
  EXPECT_EQ(s.navmodes, (std::vector<int>{1, 2}));
  EXPECT_TRUE(s.attached);
  EXPECT_EQ(s.attach_child_point, 0);
  EXPECT_EQ(s.attach_parent_point, 1);
  EXPECT_EQ(s.attach_parent, "KTX_Capsule");
}

TEST(StandardLines, OtherLinesAreNotStandardAndSetNoError) {
  StandardLines s;
  EXPECT_FALSE(ParseStandardLine("ANT 1 0.5", s));
  EXPECT_FALSE(ParseStandardLine("", s));
  EXPECT_FALSE(ParseStandardLine(nullptr, s));
  EXPECT_FALSE(ParseStandardLine("RPOSX 1 2 3", s));  // the whole key counts, not a prefix
  EXPECT_TRUE(s.error.empty());
}

struct BadLine {
  const char* line;
  const char* error;
};

class StandardLineRefusal : public testing::TestWithParam<BadLine> {};

TEST_P(StandardLineRefusal, SaysWhatWasExpected) {
  StandardLines s;
  s.rpos = {7, 8, 9};
  EXPECT_FALSE(ParseStandardLine(GetParam().line, s));
  EXPECT_EQ(s.error, GetParam().error);
  EXPECT_FALSE(s.has_rpos);  // a refused line stores nothing
  EXPECT_DOUBLE_EQ(s.rpos.x, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StandardLineRefusal,
    testing::Values(
        BadLine{"STATUS Flying Mars", "expected STATUS Orbiting BODY or STATUS Landed BODY, got 'STATUS Flying Mars'"},
        BadLine{"STATUS Orbiting", "expected STATUS Orbiting BODY or STATUS Landed BODY, got 'STATUS Orbiting'"},
        BadLine{"RPOS 1 2", "expected three finite numbers after RPOS, got 'RPOS 1 2'"},
        BadLine{"RPOS 1 2 3 4", "expected three finite numbers after RPOS, got 'RPOS 1 2 3 4'"},
        BadLine{"RPOS 1 nan 3", "expected three finite numbers after RPOS, got 'RPOS 1 nan 3'"},
        BadLine{"RPOS 1 2 inf", "expected three finite numbers after RPOS, got 'RPOS 1 2 inf'"},
        BadLine{"RPOS 1 2 1e999", "expected three finite numbers after RPOS, got 'RPOS 1 2 1e999'"},
        BadLine{"RVEL 1 2 3m", "expected three finite numbers after RVEL, got 'RVEL 1 2 3m'"},
        BadLine{"AROT", "expected three finite numbers after AROT, got 'AROT'"},
        BadLine{"POS 10 95",
                "expected POS longitude (-360 to 360) and latitude (-90 to 90) in degrees, got 'POS 10 95'"},
        BadLine{"HEADING north", "expected HEADING and an angle from -360 to 360 degrees, got 'HEADING north'"},
        BadLine{"PRPLEVEL", "expected PRPLEVEL and at least one index:level pair, got 'PRPLEVEL'"},
        BadLine{"PRPLEVEL 0:1.5",
                "expected PRPLEVEL and index:level pairs with levels from 0 to 1, got 'PRPLEVEL 0:1.5'"},
        BadLine{"PRPLEVEL -1:0.5",
                "expected PRPLEVEL and index:level pairs with levels from 0 to 1, got 'PRPLEVEL -1:0.5'"},
        BadLine{"PRPLEVEL 0:0.5 junk",
                "expected PRPLEVEL and index:level pairs with levels from 0 to 1, got 'PRPLEVEL 0:0.5 junk'"},
        BadLine{"THLEVEL 0:nan", "expected THLEVEL and index:level pairs, got 'THLEVEL 0:nan'"},
        BadLine{"THLEVEL 99999999999:1", "expected THLEVEL and index:level pairs, got 'THLEVEL 99999999999:1'"},
        BadLine{"NAVMODE 0", "expected NAVMODE and mode numbers from 1 to 7, got 'NAVMODE 0'"},
        BadLine{"NAVMODE", "expected NAVMODE and at least one mode number, got 'NAVMODE'"},
        BadLine{"ATTACHED 0:0", "expected ATTACHED child:parent,ParentName, got 'ATTACHED 0:0'"},
        BadLine{"ATTACHED 0:x,Bus", "expected ATTACHED child:parent,ParentName, got 'ATTACHED 0:x,Bus'"},
        BadLine{"ATTACHED 0:0,", "expected ATTACHED child:parent,ParentName, got 'ATTACHED 0:0,'"},
        BadLine{"ATTACHED 0:0,Bus extra", "expected ATTACHED child:parent,ParentName, got 'ATTACHED 0:0,Bus extra'"}));

TEST(StandardLines, TheFirstErrorIsKept) {
  StandardLines s;
  EXPECT_FALSE(ParseStandardLine("RPOS 1", s));
  EXPECT_FALSE(ParseStandardLine("RVEL 1", s));
  EXPECT_EQ(s.error, "expected three finite numbers after RPOS, got 'RPOS 1'");
}

// Writes the lines, reads them back and writes again.
StandardLines ReadBack(const std::vector<std::pair<std::string, std::string>>& lines) {
  StandardLines back;
  for (const auto& [key, value] : lines) {
    std::string line = key + " " + value;
    EXPECT_TRUE(ParseStandardLine(line.c_str(), back)) << line << ": " << back.error;
  }
  return back;
}

TEST(StandardLines, RoundTripKeepsMillimetresAndMicrometresPerSecond) {
  StandardLines s;
  s.body = "Mars";
  s.has_rpos = s.has_rvel = s.has_arot = s.has_vrot = true;
  s.rpos = {3.3895123456789e6, -1.23456789012e11, 0.0004};  // up to a Sun-centred distance
  s.rvel = {5200.12345678, -0.0000004, 29999.9999999};
  s.arot = {179.99999999, -89.123456789, -0.00000001};
  s.vrot = {15.0000004, 0, -3.3};
  s.prplevel = {{0, 1.0}, {1, 0.123456789}};
  s.thlevel = {{4, 0.95}};
  s.navmodes = {2};
  s.attached = true;
  s.attach_child_point = 0;
  s.attach_parent_point = 2;
  s.attach_parent = "KTX_Capsule";

  auto first = host::FormatStandardLines(s);
  StandardLines back = ReadBack(first);
  EXPECT_EQ(back.body, "Mars");
  EXPECT_FALSE(back.landed);
  EXPECT_NEAR(back.rpos.x, s.rpos.x, 5e-4);
  EXPECT_NEAR(back.rpos.y, s.rpos.y, 5e-4);
  EXPECT_NEAR(back.rpos.z, s.rpos.z, 5e-4);
  EXPECT_NEAR(back.rvel.x, s.rvel.x, 5e-7);
  EXPECT_NEAR(back.rvel.y, s.rvel.y, 5e-7);
  EXPECT_NEAR(back.rvel.z, s.rvel.z, 5e-7);
  EXPECT_NEAR(back.arot.y, s.arot.y, 5e-7);
  EXPECT_NEAR(back.vrot.x, s.vrot.x, 5e-7);
  EXPECT_NEAR(back.prplevel[1], 0.123456789, 5e-7);
  EXPECT_EQ(back.thlevel, s.thlevel);
  EXPECT_EQ(back.navmodes, s.navmodes);
  EXPECT_EQ(back.attach_parent, "KTX_Capsule");
  EXPECT_EQ(back.attach_parent_point, 2);

  // a value that rounds to zero loses its sign, so the text does not flip between saves
  bool negative_zero = false;
  for (const auto& [key, value] : first) negative_zero |= value.find("-0.000000 ") != std::string::npos;
  EXPECT_FALSE(negative_zero);
  EXPECT_EQ(host::FormatStandardLines(back), first);
}

TEST(StandardLines, LandedRoundTripAndOrder) {
  StandardLines s;
  s.landed = true;
  s.body = "Earth";
  s.has_pos = true;
  s.longitude = -80.6041;
  s.latitude = 28.6082281;
  s.heading = 359.5;
  s.prplevel = {{0, 1}};
  auto lines = host::FormatStandardLines(s);
  std::vector<std::pair<std::string, std::string>> expected = {{"STATUS", "Landed Earth"},
                                                               {"POS", "-80.604100000 28.608228100"},
                                                               {"HEADING", "359.500000"},
                                                               {"PRPLEVEL", "0:1.000000"}};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(host::FormatStandardLines(ReadBack(lines)), lines);

  StandardLines orbiting;
  orbiting.body = "Mars";
  orbiting.has_rpos = orbiting.has_rvel = orbiting.has_arot = orbiting.has_vrot = true;
  orbiting.rpos = {3600000, 0, 0};
  orbiting.rvel = {0, 0, 5200};
  std::vector<std::pair<std::string, std::string>> example = {{"STATUS", "Orbiting Mars"},
                                                              {"RPOS", "3600000.000 0.000 0.000"},
                                                              {"RVEL", "0.000000 0.000000 5200.000000"},
                                                              {"AROT", "0.000000 0.000000 0.000000"},
                                                              {"VROT", "0.000000 0.000000 0.000000"}};
  EXPECT_EQ(host::FormatStandardLines(orbiting), example);
}

// The project's own scenarios and their key scripts are readable.
TEST(ProjectData, EveryScenarioAndKeyScriptParses) {
  namespace fs = std::filesystem;
  int scenarios = 0;
  for (const auto& entry : fs::directory_iterator(std::string(QUARN_SOURCE_DIR) + "/data/scenarios")) {
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    if (entry.path().extension() == ".scn") {
      host::Scenario sc = ParseScenario(text.str(), entry.path().string());
      EXPECT_FALSE(sc.vessels.empty()) << entry.path();
      ++scenarios;
      for (const auto& v : sc.vessels)
        for (const auto& line : v.lines) {
          // module lines are the module's; standard lines must read
          StandardLines s;
          ParseStandardLine(line.text.c_str(), s);
          EXPECT_TRUE(s.error.empty()) << entry.path() << ":" << line.number << ": " << s.error;
        }
    } else if (entry.path().extension() == ".keys") {
      EXPECT_NO_THROW(host::ParseKeyScript(text.str(), entry.path().string())) << entry.path();
    }
  }
  EXPECT_GT(scenarios, 0);
}

}  // namespace
