// Class files: the keys, what the reader refuses, the class names the loader will look up, and
// host-native vessels configured from their file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "class_config.h"
#include "world.h"
#include "world_fixture.h"

namespace {

using host::ClassConfig;
using host::HostError;
using host::ParseClassConfig;

const char* const kRocket =
    "; a two-engine stage\n"
    "emptymass = 40000\n"
    "SIZE=25\n"
    "PMI = 210 210 3.1\n"
    "CrossSections = 250 250 19.6   ; m^2\n"
    "CW = 0.5\n"
    "Propellant = 360000\n"
    "MainThruster = 1 0 -25 0 0 1 1400000 3500\n"
    "MainThruster = -1 0 -25 0 0 1 1400000 3500\n"
    "Attachment = 1 0 0 7 0 0 1 0 1 0 BR\n"
    "Attachment = 0 0 0 25 0 0 1 0 1 0 TOP\n"
    "Touchdown = 0 3 -25\n"
    "Touchdown = 2.6 -1.5 -25\n"
    "Touchdown = -2.6 -1.5 -25\n";

TEST(ClassConfig, ReadsAHostNativeClass) {
  ClassConfig c = ParseClassConfig(kRocket, "rocket.cfg", "TEST/rocket");
  EXPECT_EQ(c.path, "rocket.cfg");
  EXPECT_EQ(c.class_name, "TEST/rocket");
  EXPECT_TRUE(c.module.empty());
  EXPECT_DOUBLE_EQ(c.empty_mass, 40000);
  EXPECT_DOUBLE_EQ(c.size, 25);
  EXPECT_DOUBLE_EQ(c.pmi.z, 3.1);
  EXPECT_DOUBLE_EQ(c.cross_sections.z, 19.6);
  EXPECT_DOUBLE_EQ(c.cw, 0.5);
  EXPECT_DOUBLE_EQ(c.propellant, 360000);
  ASSERT_EQ(c.main_thrusters.size(), 2u);
  EXPECT_DOUBLE_EQ(c.main_thrusters[1].pos.x, -1);
  EXPECT_DOUBLE_EQ(c.main_thrusters[1].dir.z, 1);
  EXPECT_DOUBLE_EQ(c.main_thrusters[1].max_thrust, 1400000);
  EXPECT_DOUBLE_EQ(c.main_thrusters[1].isp, 3500);
  ASSERT_EQ(c.attachments.size(), 2u);
  EXPECT_TRUE(c.attachments[0].toparent);
  EXPECT_FALSE(c.attachments[1].toparent);
  EXPECT_DOUBLE_EQ(c.attachments[0].pos.z, 7);
  EXPECT_DOUBLE_EQ(c.attachments[0].rot.y, 1);
  EXPECT_EQ(c.attachments[0].id, "BR");
  ASSERT_EQ(c.touchdown.size(), 3u);
  EXPECT_DOUBLE_EQ(c.touchdown[2].x, -2.6);
}

TEST(ClassConfig, ModuleLine) {
  ClassConfig c = ParseClassConfig("; comment only\n\nModule = quarn_heatshield  ; the shield\n", "h.cfg", "h");
  EXPECT_EQ(c.module, "quarn_heatshield");
}

struct BadClass {
  const char* text;
  const char* message;
};

class ClassConfigRefusal : public testing::TestWithParam<BadClass> {};

TEST_P(ClassConfigRefusal, NamesPathLineAndWhatWasExpected) {
  try {
    ParseClassConfig(GetParam().text, "bad.cfg", "bad");
    FAIL() << "accepted: " << GetParam().text;
  } catch (const HostError& e) {
    EXPECT_EQ(e.code, host::kExitDataErr);
    EXPECT_STREQ(e.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClassConfigRefusal,
    testing::Values(
        BadClass{"Module quarn_bus\n", "bad.cfg:1: expected Key = value, got 'Module quarn_bus'"},
        BadClass{"\nColour = red\n",
                 "bad.cfg:2: expected a key of a class file (Module, EmptyMass, Size, PMI, CrossSections, CW, "
                 "Propellant, MainThruster, Attachment, Touchdown) and = value, got 'Colour = red'"},
        BadClass{"Module = ../evil\n",
                 "bad.cfg:1: expected Module = and the plain name of a module library, got "
                 "'Module = ../evil'"},
        BadClass{"Module = a b\n",
                 "bad.cfg:1: expected Module = and the plain name of a module library, got 'Module = a b'"},
        BadClass{"Module =\n", "bad.cfg:1: expected Module = and the plain name of a module library, got 'Module ='"},
        BadClass{"EmptyMass = 0\n", "bad.cfg:1: expected EmptyMass = mass in kg, greater than 0, got 'EmptyMass = 0'"},
        BadClass{"EmptyMass = nan\n",
                 "bad.cfg:1: expected EmptyMass = mass in kg, greater than 0, got 'EmptyMass = nan'"},
        BadClass{"Size = 2 m\n", "bad.cfg:1: expected Size = mean radius in m, greater than 0, got 'Size = 2 m'"},
        BadClass{"PMI = 1 1\n",
                 "bad.cfg:1: expected PMI = three moments of inertia per unit mass in m^2, each "
                 "greater than 0, got 'PMI = 1 1'"},
        BadClass{"PMI = 1 1 -2\n",
                 "bad.cfg:1: expected PMI = three moments of inertia per unit mass in m^2, each "
                 "greater than 0, got 'PMI = 1 1 -2'"},
        BadClass{
            "CrossSections = 1 inf 1\n",
            "bad.cfg:1: expected CrossSections = three areas in m^2, none negative, got 'CrossSections = 1 inf 1'"},
        BadClass{"CW = -1\n", "bad.cfg:1: expected CW = drag coefficient, not negative, got 'CW = -1'"},
        BadClass{"Propellant = lots\n",
                 "bad.cfg:1: expected Propellant = capacity in kg, not negative, got 'Propellant = lots'"},
        BadClass{"MainThruster = 0 0 0 0 0 0 1000 300\n",
                 "bad.cfg:1: expected MainThruster = px py pz dx dy dz thrust isp (direction not zero, thrust and isp "
                 "greater than 0), got 'MainThruster = 0 0 0 0 0 0 1000 300'"},
        BadClass{"MainThruster = 0 0 0 0 0 1 1000\n",
                 "bad.cfg:1: expected MainThruster = px py pz dx dy dz thrust isp (direction not zero, thrust and isp "
                 "greater than 0), got 'MainThruster = 0 0 0 0 0 1 1000'"},
        BadClass{"Attachment = 2 0 0 0 0 0 1 0 1 0 X\n",
                 "bad.cfg:1: expected Attachment = toparent(0 or 1) px py pz dx dy dz rx ry rz ID (directions not "
                 "zero), got 'Attachment = 2 0 0 0 0 0 1 0 1 0 X'"},
        BadClass{"Attachment = 1 0 0 0 0 0 1 0 1 0\n",
                 "bad.cfg:1: expected Attachment = toparent(0 or 1) px py pz dx dy dz rx ry rz ID (directions not "
                 "zero), got 'Attachment = 1 0 0 0 0 0 1 0 1 0'"},
        BadClass{"Touchdown = 0 0\n",
                 "bad.cfg:1: expected Touchdown = x y z, three lines in all, got 'Touchdown = 0 0'"},
        BadClass{"Touchdown = 0 1 0\nTouchdown = 1 0 0\nTouchdown = -1 0 0\nTouchdown = 0 0 1\n",
                 "bad.cfg:4: expected Touchdown = x y z, three lines in all, got 'Touchdown = 0 0 1'"},
        BadClass{"Touchdown = 0 1 0\nSize = 1\nTouchdown = 1 0 0\n",
                 "bad.cfg:3: expected three Touchdown lines, got 2"},
        BadClass{"Touchdown = 0 0 0\nTouchdown = 1 0 0\nTouchdown = 2 0 0\n",
                 "bad.cfg:3: expected three Touchdown points that are not in a line, got points in a line"},
        BadClass{"Size = 1\x1b\n", "bad.cfg:1: expected a line of text, got 'Size = 1\\x1B'"}));

TEST(ClassConfig, LoadsByClassNameBelowVessels) {
  ClassConfig c = host::LoadClassConfig(std::string(QUARN_SOURCE_DIR) + "/data/config", "QUARN/quarn_htshld");
  EXPECT_EQ(c.module, "quarn_heatshield");
  EXPECT_EQ(c.path, std::string(QUARN_SOURCE_DIR) + "/data/config/vessels/QUARN/quarn_htshld.cfg");
}

TEST(ClassConfig, UnusableOrMissingClassesAreUnavailable) {
  const std::string dir = std::string(QUARN_SOURCE_DIR) + "/data/config";
  struct Case {
    std::string name, message;
  } cases[] = {
      {"QUARN/none", "class 'QUARN/none': no class file " + dir + "/vessels/QUARN/none.cfg"},
      {"QUARN", "class 'QUARN': no class file " + dir + "/vessels/QUARN.cfg"},
      {"../vessels/QUARN/quarn_htshld", "class '../vessels/QUARN/quarn_htshld': not a name of a class file below " +
                                            dir + "/vessels/, nothing looked for"},
      {"QUARN/../QUARN/quarn_htshld", "class 'QUARN/../QUARN/quarn_htshld': not a name of a class file below " + dir +
                                          "/vessels/, nothing looked for"},
      {"/etc/passwd", "class '/etc/passwd': not a name of a class file below " + dir + "/vessels/, nothing looked for"},
      {"QUARN//quarn_htshld",
       "class 'QUARN//quarn_htshld': not a name of a class file below " + dir + "/vessels/, nothing looked for"},
      {"", "class '': not a name of a class file below " + dir + "/vessels/, nothing looked for"},
      {std::string("QUARN/quarn_htshld\0x", 20),
       "class 'QUARN/quarn_htshld\\x00x': not a name of a class file below " + dir + "/vessels/, nothing looked for"},
  };
  for (const Case& c : cases) {
    try {
      host::LoadClassConfig(dir, c.name);
      ADD_FAILURE() << "loaded " << c.name;
    } catch (const HostError& e) {
      EXPECT_EQ(e.code, host::kExitUnavailable) << c.name;
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

// Every class file the project ships reads.
TEST(ProjectData, EveryClassFileParses) {
  namespace fs = std::filesystem;
  const fs::path vessels = std::string(QUARN_SOURCE_DIR) + "/data/config/vessels";
  int n = 0;
  for (const auto& entry : fs::recursive_directory_iterator(vessels)) {
    if (entry.path().extension() != ".cfg") continue;
    std::string class_name = fs::relative(entry.path(), vessels).replace_extension().generic_string();
    EXPECT_NO_THROW(host::LoadClassConfig(std::string(QUARN_SOURCE_DIR) + "/data/config", class_name)) << class_name;
    ++n;
  }
  EXPECT_GT(n, 0);
}

// --- host-native vessels

class NativeVesselTest : public testing_support::WorldTest {};

TEST_F(NativeVesselTest, ConfiguredFromItsClassFile) {
  AddClass("TEST/rocket", kRocket);
  Load("BEGIN_SHIPS\nRocket:TEST/rocket\n  STATUS Orbiting Mars\n  RPOS 3400000 0 0\nEND\nEND_SHIPS\n");
  host::Vessel& v = *World().FindByName("Rocket");
  EXPECT_EQ(v.module, nullptr);
  EXPECT_DOUBLE_EQ(v.config.empty_mass, 40000);
  EXPECT_DOUBLE_EQ(v.config.size, 25);
  EXPECT_DOUBLE_EQ(v.config.pmi.x, 210);
  EXPECT_DOUBLE_EQ(v.config.cross_sections.y, 250);
  EXPECT_DOUBLE_EQ(v.config.cw_z_pos, 0.5);
  EXPECT_DOUBLE_EQ(v.config.cw_y, 0.5);
  ASSERT_EQ(v.config.propellants.size(), 1u);
  EXPECT_DOUBLE_EQ(v.config.propellants[0]->max_mass, 360000);
  EXPECT_DOUBLE_EQ(v.config.propellants[0]->mass, 360000);  // full at creation
  ASSERT_EQ(v.config.thrusters.size(), 2u);
  EXPECT_EQ(v.config.thrusters[0]->resource, v.config.propellants[0].get());
  EXPECT_DOUBLE_EQ(v.config.thrusters[0]->max_thrust, 1400000);
  EXPECT_DOUBLE_EQ(v.config.thrusters[0]->isp, 3500);
  ASSERT_EQ(v.config.groups.size(), 1u);
  EXPECT_EQ(v.config.groups[0]->type, THGROUP_MAIN);
  EXPECT_EQ(v.config.groups[0]->thrusters.size(), 2u);
  ASSERT_EQ(v.config.attachments.size(), 2u);
  EXPECT_EQ(v.config.attachments[0]->id, "BR");
  EXPECT_TRUE(v.config.attachments[0]->toparent);
  ASSERT_EQ(v.config.touchdown.size(), 3u);
  EXPECT_DOUBLE_EQ(v.config.touchdown[1].pos.x, 2.6);
  EXPECT_DOUBLE_EQ(v.Mass(), 400000);

  // the main group answers to the throttle as a module's would
  v.iface->SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
  EXPECT_DOUBLE_EQ(v.config.thrusters[1]->level, 0.5);
}

TEST_F(NativeVesselTest, WithoutPropellantOrTouchdownLines) {
  AddClass("TEST/ball", "EmptyMass = 10\n");
  VESSELSTATUS st{};
  st.rbody = World().BodyHandle(*World().FindBody("Mars"));
  st.rpos = {3.4e6, 0, 0};
  host::Vessel& v = World().CreateVessel("Ball", "TEST/ball", st);
  EXPECT_TRUE(v.config.propellants.empty());
  EXPECT_TRUE(v.config.thrusters.empty());
  EXPECT_TRUE(v.config.groups.empty());
  EXPECT_DOUBLE_EQ(v.Mass(), 10);
}

}  // namespace
