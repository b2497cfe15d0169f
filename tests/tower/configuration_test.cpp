// The tower as its set-up leaves it: physical parameters, emitters and their streams, the pad
// point, and the eleven animations over the 79 mesh groups.
#include <set>
#include <string>
#include <vector>

#include "../host/vessel_checks.h"
#include "module_loader.h"
#include "tower_fixture.h"

namespace {

using tower_testing::TowerTest;

using testing_support::ExpectVec;

std::vector<UINT> Groups(const MGROUP_TRANSFORM* t) { return std::vector<UINT>(t->grp, t->grp + t->ngrp); }

TEST_F(TowerTest, PhysicalSetUp) {
  // from a scenario without propellant lines, so the tank keeps its initial mass
  Load(tower_testing::TowerScenario(""));
  const host::VesselConfig& c = World().FindByName("Tower")->config;
  EXPECT_EQ(c.empty_mass, 1.0e6);
  EXPECT_EQ(c.cw_z_pos, 1);
  EXPECT_EQ(c.cw_z_neg, 1);
  EXPECT_EQ(c.cw_x, 1);
  EXPECT_EQ(c.cw_y, 1);
  EXPECT_EQ(c.size, 60);
  ExpectVec(c.cross_sections, {200, 200, 200});
  ExpectVec(c.pmi, {20, 20, 20});
  ExpectVec(c.rot_drag, {1, 1, 1});
  ExpectVec(c.camera_offset, {0, 28, 25});
  ASSERT_EQ(c.touchdown.size(), 3u);
  ExpectVec(c.touchdown[0].pos, {0, -37, 10});
  ExpectVec(c.touchdown[1].pos, {-10, -37, -10});
  ExpectVec(c.touchdown[2].pos, {10, -37, -10});
  ASSERT_EQ(c.meshes.size(), 1u);
  EXPECT_EQ(c.meshes[0].name, "Brakka24/BrakkaTower");
  ExpectVec(c.meshes[0].offset, {0, 0, 0});
  EXPECT_EQ(c.meshes[0].visibility, 3);
  ASSERT_EQ(c.propellants.size(), 1u);
  EXPECT_EQ(c.propellants[0]->max_mass, 10000);
  EXPECT_EQ(c.propellants[0]->mass, 10000);
  EXPECT_EQ(c.propellants[0]->efficiency, 1.0);
  EXPECT_TRUE(c.airfoils.empty());
  EXPECT_TRUE(c.groups.empty());
}

// The simulator gives the realistic flight model 1 or more; only then do the moment scales
// change. A tower object is laid over a plain vessel so that the flight model can be chosen.
TEST_F(TowerTest, MomentScalesOnlyInTheRealisticFlightModel) {
  host::ModuleRecord* module = World().Loader().Load("brakka_tower");
  const struct {
    int flight_model;
    double expected_scale;
  } cases[] = {{0, 0.0}, {1, 0.001}, {2, 0.001}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.flight_model);
    host::Vessel& plain = Create("Plain" + std::to_string(tc.flight_model), "tower_test_probe", {0, 0, 0});
    const double defaults = plain.config.pitch_moment_scale;
    ASSERT_EQ(defaults, 0.0);
    VESSEL* tower = module->ovcInit(World().Handle(plain), tc.flight_model);
    ASSERT_NE(tower, nullptr);
    EXPECT_EQ(tower->GetFlightModel(), tc.flight_model);
    static_cast<VESSEL2*>(tower)->clbkSetClassCaps(nullptr);
    EXPECT_EQ(plain.config.pitch_moment_scale, tc.expected_scale);
    EXPECT_EQ(plain.config.bank_moment_scale, tc.expected_scale);
    module->ovcExit(tower);
  }
}

TEST_F(TowerTest, EmittersAsWrittenWithZeroThrust) {
  const host::VesselConfig& c = Tower().config;
  const struct {
    VECTOR3 pos, dir;
  } emitters[5] = {
      {{-23, -37, -6}, {0.7071, -0.7071, 0}},
      {{20, -37, -6}, {-0.7071, -0.7071, 0}},
      {{-22, -37, -6}, {0.34, -0.94, 0}},
      {{19, -37, -6}, {-0.34, -0.94, 0}},
      {{-3, -36, -6}, {0, 1, 0}},
  };
  ASSERT_EQ(c.thrusters.size(), 5u);
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(k + 1);
    const host::ThrusterRecord& t = *c.thrusters[k];
    ExpectVec(t.pos, emitters[k].pos);
    ExpectVec(t.dir, emitters[k].dir);  // not normalised
    EXPECT_EQ(t.max_thrust, 0);
    EXPECT_EQ(t.resource, c.propellants[0].get());
    EXPECT_EQ(t.isp, 1.0e10);
    EXPECT_EQ(t.isp_ref, 0);
    EXPECT_EQ(t.p_ref, 101400);
    EXPECT_EQ(t.level, 0);
  }
}

TEST_F(TowerTest, EightStreamsInTheirOrder) {
  const host::VesselConfig& c = Tower().config;
  SURFHANDLE smoke = oapiRegisterExhaustTexture("Tirelo_Missions/brakka_tower_smoke");
  SURFHANDLE flame = oapiRegisterExhaustTexture("Tirelo_Missions/brakka_tower_flame");
  enum Kind { CentreSmoke, CentreFlame, SideSmoke, SideFlame };
  const PARTICLESTREAMSPEC specs[4] = {
      {0, 6, 8, 70, 0, 2, 15, 3, PARTICLESTREAMSPEC::DIFFUSE, PARTICLESTREAMSPEC::LVL_PSQRT, 0, 2,
       PARTICLESTREAMSPEC::ATM_PLOG, 0.0001, 2, smoke},
      {0, 6, 8, 70, 0, 0.5, 10, 5, PARTICLESTREAMSPEC::EMISSIVE, PARTICLESTREAMSPEC::LVL_PSQRT, 0, 2,
       PARTICLESTREAMSPEC::ATM_PLOG, 0.0001, 1, flame},
      {0, 10, 15, 150, 0.85, 2.2, 30, 1.8, PARTICLESTREAMSPEC::DIFFUSE, PARTICLESTREAMSPEC::LVL_PSQRT, 0, 2,
       PARTICLESTREAMSPEC::ATM_PLOG, 0.0001, 2, smoke},
      {0, 20, 25, 150, 0.4, 0.3, 30, 2, PARTICLESTREAMSPEC::EMISSIVE, PARTICLESTREAMSPEC::LVL_PSQRT, 0, 2,
       PARTICLESTREAMSPEC::ATM_PLOG, 0.0001, 1, flame},
  };
  // emitter number (1..5) and kind, in the order of adding
  const struct {
    int emitter;
    Kind kind;
  } streams[8] = {{5, CentreSmoke}, {5, CentreFlame}, {3, SideSmoke}, {4, SideSmoke},
                  {1, SideSmoke},   {2, SideSmoke},   {1, SideFlame}, {2, SideFlame}};
  ASSERT_EQ(c.streams.size(), 8u);
  for (int s = 0; s < 8; ++s) {
    SCOPED_TRACE(s);
    const host::ParticleStreamRecord& r = *c.streams[s];
    const PARTICLESTREAMSPEC& e = specs[streams[s].kind];
    EXPECT_EQ(r.thruster, c.thrusters[streams[s].emitter - 1].get());
    ASSERT_TRUE(r.has_spec);
    EXPECT_EQ(r.spec.flags, e.flags);
    EXPECT_EQ(r.spec.srcsize, e.srcsize);
    EXPECT_EQ(r.spec.srcrate, e.srcrate);
    EXPECT_EQ(r.spec.v0, e.v0);
    EXPECT_EQ(r.spec.srcspread, e.srcspread);
    EXPECT_EQ(r.spec.lifetime, e.lifetime);
    EXPECT_EQ(r.spec.growthrate, e.growthrate);
    EXPECT_EQ(r.spec.atmslowdown, e.atmslowdown);
    EXPECT_EQ(r.spec.ltype, e.ltype);
    EXPECT_EQ(r.spec.levelmap, e.levelmap);
    EXPECT_EQ(r.spec.lmin, e.lmin);
    EXPECT_EQ(r.spec.lmax, e.lmax);
    EXPECT_EQ(r.spec.atmsmap, e.atmsmap);
    EXPECT_EQ(r.spec.amin, e.amin);
    EXPECT_EQ(r.spec.amax, e.amax);
    EXPECT_EQ(r.spec.tex, e.tex);
  }
}

TEST_F(TowerTest, PadPointIsAParentSidePointBT) {
  const host::VesselConfig& c = Tower().config;
  ASSERT_EQ(c.attachments.size(), 1u);
  const host::AttachmentRecord& a = *c.attachments[0];
  EXPECT_FALSE(a.toparent);
  ExpectVec(a.pos, {0, -5, -8});
  ExpectVec(a.dir, {0, -1, 0});
  ExpectVec(a.rot, {0, 0, 1});
  EXPECT_EQ(a.id, "BT");
  EXPECT_FALSE(a.loose);
  EXPECT_EQ(a.peer, nullptr);
}

TEST_F(TowerTest, ElevenAnimationsInCreationOrder) {
  const host::VesselConfig& c = Tower().config;
  ASSERT_EQ(c.animations.size(), 11u);
  const host::AnimationComponentRecord* twr = c.animations[0]->components.at(0).get();

  // TWR, then ET1 to ET9: one translation each, the sections riding on the tower travel
  const double drops[9] = {11.8, 11.8, 11.8, 11.8, 11.7, 9.0, 2.0, 2.0, 10.0};
  const std::vector<UINT> section_groups[9] = {{11, 42, 70}, {14, 45, 71}, {17, 48, 72}, {20, 51, 73}, {23, 54, 74},
                                               {26, 57, 75}, {29, 60, 76}, {8, 39, 69},  {33, 64, 77}};
  ASSERT_EQ(c.animations[0]->components.size(), 1u);
  EXPECT_EQ(twr->parent, nullptr);
  ASSERT_EQ(twr->transform->Type(), MGROUP_TRANSFORM::TRANSLATE);
  ExpectVec(static_cast<const MGROUP_TRANSLATE*>(twr->transform)->shift, {0, 0, 140});
  EXPECT_EQ(Groups(twr->transform), (std::vector<UINT>{0, 3, 5, 36, 38, 68, 1, 4, 6, 35, 66, 78, 2, 7, 67, 37}));
  for (int k = 0; k < 9; ++k) {
    SCOPED_TRACE("ET" + std::to_string(k + 1));
    const auto& comps = c.animations[1 + k]->components;
    ASSERT_EQ(comps.size(), 1u);
    EXPECT_EQ(comps[0]->parent, twr);
    ASSERT_EQ(comps[0]->transform->Type(), MGROUP_TRANSFORM::TRANSLATE);
    ExpectVec(static_cast<const MGROUP_TRANSLATE*>(comps[0]->transform)->shift, {0, -drops[k], 0});
    EXPECT_EQ(Groups(comps[0]->transform), section_groups[k]);
  }

  // MCH: the nine right leaves, then the nine left leaves, each on its section
  const std::vector<UINT> right[9] = {{13, 44}, {16, 47}, {19, 50}, {22, 53}, {25, 56},
                                      {28, 59}, {31, 62}, {10, 41}, {34, 65}};
  const std::vector<UINT> left[9] = {{12, 43}, {15, 46}, {18, 49}, {21, 52}, {24, 55},
                                     {27, 58}, {30, 61}, {9, 40},  {32, 63}};
  const auto& leaves = c.animations[10]->components;
  ASSERT_EQ(leaves.size(), 18u);
  for (int n = 0; n < 18; ++n) {
    SCOPED_TRACE(n);
    int k = n % 9;
    bool is_right = n < 9;
    EXPECT_EQ(leaves[n]->parent, c.animations[1 + k]->components[0].get());
    ASSERT_EQ(leaves[n]->transform->Type(), MGROUP_TRANSFORM::ROTATE);
    const auto* r = static_cast<const MGROUP_ROTATE*>(leaves[n]->transform);
    ExpectVec(r->ref, is_right ? VECTOR3{5, 35, -5.3} : VECTOR3{-5, 35, -5.3});
    ExpectVec(r->axis, is_right ? VECTOR3{0, -1, 0} : VECTOR3{0, 1, 0});
    EXPECT_EQ(r->angle, 0.698f);
    EXPECT_EQ(Groups(r), is_right ? right[k] : left[k]);
  }

  // every component on mesh 0 over the whole range; every animation starts at 0
  std::multiset<UINT> used;
  for (const auto& anim : c.animations) {
    EXPECT_EQ(anim->default_state, 0.0);
    EXPECT_EQ(anim->state, 0.0);
    for (const auto& comp : anim->components) {
      EXPECT_EQ(comp->state0, 0.0);
      EXPECT_EQ(comp->state1, 1.0);
      EXPECT_EQ(comp->transform->mesh, 0u);
      for (UINT g : Groups(comp->transform)) used.insert(g);
    }
  }
  ASSERT_EQ(used.size(), 79u);
  for (UINT g = 0; g <= 78; ++g) EXPECT_EQ(used.count(g), 1u) << "group " << g;
}

TEST_F(TowerTest, TowersShareTransformsButNotTheirParts) {
  host::Vessel& a = Tower("A", {0, 0, 0});
  host::Vessel& b = Tower("B", {1000, 0, 0});
  for (int anim = 0; anim < 11; ++anim) {
    const auto& ca = a.config.animations[anim]->components;
    const auto& cb = b.config.animations[anim]->components;
    ASSERT_EQ(ca.size(), cb.size());
    for (std::size_t n = 0; n < ca.size(); ++n) {
      EXPECT_EQ(ca[n]->transform, cb[n]->transform);
      EXPECT_NE(ca[n].get(), cb[n].get());
    }
  }
  char kstate[256] = {};
  EXPECT_EQ(a.Callbacks()->clbkConsumeBufferedKey(OAPI_KEY_K, true, kstate), 1);
  EXPECT_EQ(a.Callbacks()->clbkConsumeBufferedKey(OAPI_KEY_G, true, kstate), 1);
  PostStep(a, 1.0);
  PostStep(b, 1.0);
  EXPECT_DOUBLE_EQ(Animation(a, tower_testing::kAnimTwr), 0.025);
  EXPECT_DOUBLE_EQ(Animation(a, tower_testing::kAnimMch), 0.1);
  EXPECT_EQ(Animation(b, tower_testing::kAnimTwr), 0.0);
  EXPECT_EQ(Animation(b, tower_testing::kAnimMch), 0.0);
  EXPECT_EQ(SavedParts("B")["TWR"].text, "0 0.0000");
}

}  // namespace
