// The "CHT" line, written and read back, and what post-creation puts back from it.
#include <string>
#include <vector>

#include "capsule_fixture.h"

namespace {

using capsule_testing::CapsuleTest;
using capsule_testing::Cht;
using capsule_testing::kAnimChute;
using capsule_testing::kAnimCollapse;
using capsule_testing::kBackshell;
using capsule_testing::kCap;
using capsule_testing::kChute;
using capsule_testing::kHeatShield;

constexpr WORD kShown = MESHVIS_EXTERNAL, kHidden = MESHVIS_NEVER;

TEST_F(CapsuleTest, NewCapsuleSavesItsFirstValuesAfterTheStandardLines) {
  NewCapsule();
  const std::string scn = World().SaveScenario();
  const std::size_t block = scn.find("KTX_Capsule:QUARN/quarn_edl_capsule");
  ASSERT_NE(block, std::string::npos);
  const std::size_t status = scn.find("  STATUS ", block), cht = scn.find("  CHT ", block);
  ASSERT_NE(cht, std::string::npos);
  EXPECT_LT(status, cht);
  EXPECT_EQ(SavedCht().text, "0 0 2 1.0000 0 0.0000");
}

// What a loaded line restores: the values it carries, and post-creation's meshes (0 to 3, "1"
// shown), mass, size, inertia, rotational drag and animations. A parachute that is out takes its
// in-flight inertia (8, 8, 4), and once open its rotational drag (4, 4, 2) and size 15 m.
struct Restore {
  const char* name;
  const char* lines;  // the capsule's own lines in its block
  const char* saved;  // its "CHT" line written back
  const char* shown;
  double mass, size, pmi_x, rot_drag_x, anim_chute, anim_collapse;
};

class RestoreTest : public CapsuleTest, public testing::WithParamInterface<Restore> {};

TEST_P(RestoreTest, PostCreationReappliesTheLoadedState) {
  const Restore& r = GetParam();
  const host::Vessel& capsule = LoadCapsule(r.lines);
  EXPECT_EQ(SavedCht().text, r.saved);
  std::string shown;
  for (WORD v : Visibilities(capsule)) shown += v == kShown ? '1' : '0';
  EXPECT_EQ(shown, r.shown);
  EXPECT_EQ(capsule.config.empty_mass, r.mass);
  EXPECT_EQ(capsule.config.size, r.size);
  EXPECT_EQ(capsule.config.pmi.x, r.pmi_x);
  EXPECT_EQ(capsule.config.pmi.z, r.pmi_x / 2);
  EXPECT_EQ(capsule.config.rot_drag.x, r.rot_drag_x);
  EXPECT_EQ(capsule.config.rot_drag.z, r.rot_drag_x == 4 ? 2 : 0.1);
  EXPECT_EQ(Anim(capsule, kAnimChute), r.anim_chute);
  EXPECT_EQ(Anim(capsule, kAnimCollapse), r.anim_collapse);
}

const Restore kRestores[] = {
    {"NoLine", "", "0 0 2 1.0000 0 0.0000", "1110", 600, 2, 4, 2, 1.0, 0.0},
    {"Inflating", "  CHT 0 1 1 0.4 0 0\n", "0 1 1 0.4000 0 0.0000", "1101", 320, 2, 8, 2, 0.4, 0.0},
    {"OpenAndCollapsed", "  CHT 1 2 0 0.0 2 1.0\n", "1 2 0 0.0000 2 1.0000", "1001", 240, 15, 8, 4, 0.0, 1.0},
    {"ShieldLostStillShown", "  CHT 3 1 2 1.0 0 0.0\n", "3 1 2 1.0000 0 0.0000", "1110", 240, 2, 4, 2, 1.0, 0.0},
    {"LanderLost", "  CHT 0 3 2 1.0 0 0.0\n", "0 3 2 1.0000 0 0.0000", "0100", 200, 2, 4, 2, 1.0, 0.0},
    {"LowerCaseThreeValues", "  cht 1 2 2\n", "1 2 2 1.0000 0 0.0000", "1010", 240, 2, 4, 2, 1.0, 0.0},
    {"LastLineWins", "  CHT 1 2 0 0.0 2 1.0\n  Cht 0 1 1 0.25 0 0\n", "0 1 1 0.2500 0 0.0000", "1101", 320, 2, 8, 2,
     0.25, 0.0},
};

INSTANTIATE_TEST_SUITE_P(Cht, RestoreTest, testing::ValuesIn(kRestores),
                         [](const testing::TestParamInfo<Restore>& info) { return std::string(info.param.name); });

TEST_F(CapsuleTest, RestoredInflationResumesWhereItWasSaved) {
  host::Vessel& capsule = LoadCapsule("  CHT 0 1 1 0.4 0 0\n", 9000, 300);
  PreStep(capsule, 0.25);
  EXPECT_EQ(Anim(capsule, kAnimChute), 0.4 - 0.25);
  EXPECT_NEAR(capsule.config.airfoils[0]->area, 3 + 24 * 0.85, 1e-12);
}

// A capsule flown to the middle of its inflation, saved, and loaded into a fresh world: the same
// line, the same lander held at "BS", the same shape; and no second lander.
TEST_F(CapsuleTest, SavedMidSequenceLoadsBackTheSame) {
  host::Vessel& capsule = CapsuleWithLander(9000, 300);
  PreStep(capsule, 0.01);  // deploys
  PreStep(capsule, 0.3);
  const Cht before = SavedCht();
  ASSERT_EQ(before.text, "0 1 1 0.7000 0 0.0000");
  const std::vector<WORD> vis = Visibilities(capsule);
  const double area = capsule.config.airfoils[1]->area, ref_z = capsule.config.airfoils[1]->ref.z;
  const std::string scn = World().SaveScenario();

  FreshWorld();
  World().LoadScenario(host::ParseScenario(scn, "saved.scn"));
  host::Vessel& again = *World().FindByName(capsule_testing::kCapsuleName);
  EXPECT_EQ(SavedCht().text, before.text);
  EXPECT_EQ(Visibilities(again), vis);
  EXPECT_EQ(again.config.airfoils[1]->area, area);
  EXPECT_EQ(again.config.airfoils[1]->ref.z, ref_z);
  ASSERT_NE(Held(again), nullptr);
  EXPECT_EQ(Held(again)->name, "Velquin");
  EXPECT_EQ(again.Mass() + Held(again)->Mass(), 600);

  PreStep(again, 0.01);
  EXPECT_EQ(World().VesselCount(), 2u);
  EXPECT_EQ(SavedCht().lander_state, 1);
}

}  // namespace
