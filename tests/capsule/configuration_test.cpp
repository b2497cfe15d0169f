// The capsule as its set-up leaves it, the airfoils as the parachute reshapes them, and the
// empty mass for every stage of the stack.
#include <cmath>

#include "../host/vessel_checks.h"
#include "capsule_fixture.h"

namespace {

using capsule_testing::CapsuleTest;
using capsule_testing::kAnimChute;
using capsule_testing::kAnimCollapse;

using testing_support::ExpectVec;

TEST_F(CapsuleTest, SetUpWeighs600KilogramsAndShowsTheClosedCapsule) {
  const host::Vessel& capsule = NewCapsule();
  const host::VesselConfig& c = capsule.config;
  EXPECT_EQ(c.empty_mass, 600);
  EXPECT_EQ(capsule.Mass(), 600);
  EXPECT_EQ(c.cw_z_pos, 4);
  EXPECT_EQ(c.cw_z_neg, 4);
  EXPECT_EQ(c.cw_x, 2);
  EXPECT_EQ(c.cw_y, 2);
  ExpectVec(c.rot_drag, {2, 2, 0.1});
  ExpectVec(c.pmi, {4, 4, 2});
  ExpectVec(c.cross_sections, {2, 2, 4});
  EXPECT_EQ(c.size, 2);
  ExpectVec(c.camera_offset, {0, 0, 0.2});
  EXPECT_EQ(c.mu_lng, 1);
  EXPECT_EQ(c.mu_lat, 1);
  EXPECT_TRUE(c.propellants.empty());
  EXPECT_TRUE(c.thrusters.empty());

  const struct {
    const char* name;
    WORD visibility;
  } meshes[] = {{"QUARN/quarn_bkshl", MESHVIS_EXTERNAL},
                {"QUARN/quarn_htshld", MESHVIS_EXTERNAL},
                {"QUARN/quarn_cap", MESHVIS_EXTERNAL},
                {"QUARN/quarn_bkshl_chute", MESHVIS_NEVER}};
  ASSERT_EQ(c.meshes.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(c.meshes[i].name, meshes[i].name);
    ExpectVec(c.meshes[i].offset, {0, 0, 0});
    EXPECT_EQ(c.meshes[i].visibility, meshes[i].visibility);
  }

  ASSERT_EQ(c.touchdown.size(), 3u);
  const VECTOR3 points[3] = {{0, 2, 0.001}, {-1.732, -1, 0.001}, {1.732, -1, 0.001}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ExpectVec(c.touchdown[i].pos, points[i]);
    EXPECT_EQ(c.touchdown[i].stiffness, 10000);
    EXPECT_EQ(c.touchdown[i].damping, 10000);
    EXPECT_EQ(c.touchdown[i].mu, 0.5);
    EXPECT_EQ(c.touchdown[i].mu_lng, 0.5);
  }
  // it lands on its heat-shield side, +z
  EXPECT_GT(crossp(points[1] - points[0], points[2] - points[0]).z, 0);
}

TEST_F(CapsuleTest, TwoDragOnlyAirfoilsAtTheCapsulesOwnSize) {
  testing_support::ExpectDragOnlyAirfoils(NewCapsule(), {0, 0, -0.1}, 3, 0.95);
}

TEST_F(CapsuleTest, TwelveBreakUpStreamsAllDarkAndDrivenByOneLevel) {
  const host::VesselConfig& c = NewCapsule().config;
  ASSERT_EQ(c.streams.size(), 12u);
  const VECTOR3 dirs[6] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
  // size, rate, speed, spread, lifetime, growth, slow-down, level maximum
  const double contrail[8] = {0.25, 1, 25, 2, 2, 0, 4, 1};
  const double cloud[8] = {2, 5, 10, 0.7, 5, 20, 4, 8};
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    const host::ParticleStreamRecord& s = *c.streams[i];
    EXPECT_EQ(s.Level(), 0);
    EXPECT_EQ(s.level, c.streams[0]->level);
    EXPECT_EQ(s.thruster, nullptr);
    ExpectVec(s.pos, {0, 0, 0});
    ExpectVec(s.dir, dirs[i % 6]);
    ASSERT_TRUE(s.has_spec);
    const PARTICLESTREAMSPEC& p = s.spec;
    const double* want = i < 6 ? contrail : cloud;
    const double got[8] = {p.srcsize, p.srcrate, p.v0, p.srcspread, p.lifetime, p.growthrate, p.atmslowdown, p.lmax};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(got[k], want[k]) << "field " << k;
    EXPECT_EQ(p.flags, 0u);
    EXPECT_EQ(p.ltype, PARTICLESTREAMSPEC::EMISSIVE);
    EXPECT_EQ(p.levelmap, PARTICLESTREAMSPEC::LVL_PSQRT);
    EXPECT_EQ(p.lmin, 0);
    EXPECT_EQ(p.atmsmap, PARTICLESTREAMSPEC::ATM_FLAT);
    EXPECT_EQ(p.amin, 1);
    EXPECT_EQ(p.amax, 1);
    EXPECT_EQ(p.tex, i < 6 ? oapiRegisterExhaustTexture("contrail3") : nullptr);
  }
}

TEST_F(CapsuleTest, OnePointForAChildCalledBS) {
  host::Vessel& capsule = NewCapsule();
  EXPECT_EQ(capsule.iface->AttachmentCount(true), 0u);
  ASSERT_EQ(capsule.iface->AttachmentCount(false), 1u);
  EXPECT_STREQ(capsule.iface->GetAttachmentId(capsule.iface->GetAttachmentHandle(false, 0)), "BS");
  const host::AttachmentRecord& a = *capsule.config.attachments[0];
  ExpectVec(a.pos, {0, 0, -0.1});
  ExpectVec(a.dir, {0, 0, 1});
  ExpectVec(a.rot, {0, 1, 0});
  EXPECT_FALSE(a.loose);
}

TEST_F(CapsuleTest, ParachuteAnimationsSharedByEveryCapsuleOfTheModule) {
  host::Vessel& first = NewCapsule();
  host::Vessel& second = Create(capsule_testing::kCapsuleClass, "KTX_Capsule_B", Mars(), Up() * 4e6, {0, 0, 0});
  const host::VesselConfig& c = first.config;
  ASSERT_EQ(c.animations.size(), 2u);
  // packed at 1.0, as post-creation leaves it; standing
  EXPECT_EQ(Anim(first, kAnimChute), 1.0);
  EXPECT_EQ(Anim(first, kAnimCollapse), 0.0);

  const struct {
    std::size_t anim, comp;
    double state0, state1;
    MGROUP_TRANSFORM::TYPE type;
    VECTOR3 ref;
    VECTOR3 factors;  // scale factors, or the rotation axis
  } components[] = {
      {kAnimChute, 0, 0.9, 1.0, MGROUP_TRANSFORM::SCALE, {0, 0, -0.2}, {0.01, 0.01, 0.005}},
      {kAnimChute, 1, 0.0, 0.9, MGROUP_TRANSFORM::SCALE, {0, 0, -0.2}, {0.5, 0.5, 1.0}},
      {kAnimCollapse, 0, 0.0, 0.8, MGROUP_TRANSFORM::ROTATE, {0, 0, -0.05}, {1, 0, 0}},
      {kAnimCollapse, 1, 0.8, 1.0, MGROUP_TRANSFORM::SCALE, {0, 0, -0.1}, {1, 1, 0.01}},
  };
  std::vector<const UINT*> group_lists;
  for (const auto& want : components) {
    SCOPED_TRACE(testing::Message() << want.anim << "/" << want.comp);
    ASSERT_EQ(c.animations[want.anim]->components.size(), 2u);
    const host::AnimationComponentRecord& comp = *c.animations[want.anim]->components[want.comp];
    EXPECT_EQ(comp.state0, want.state0);
    EXPECT_EQ(comp.state1, want.state1);
    EXPECT_EQ(comp.parent, nullptr);
    const MGROUP_TRANSFORM* t = comp.transform;
    ASSERT_EQ(t->Type(), want.type);
    EXPECT_EQ(t->mesh, 3u);
    ASSERT_EQ(t->ngrp, 2u);
    EXPECT_EQ(t->grp[0], 0u);
    EXPECT_EQ(t->grp[1], 1u);
    group_lists.push_back(t->grp);
    if (want.type == MGROUP_TRANSFORM::SCALE) {
      const auto* s = static_cast<const MGROUP_SCALE*>(t);
      ExpectVec(s->ref, want.ref);
      ExpectVec(s->scale, want.factors);
    } else {
      const auto* r = static_cast<const MGROUP_ROTATE*>(t);
      ExpectVec(r->ref, want.ref);
      ExpectVec(r->axis, want.factors);
      EXPECT_EQ(r->angle, static_cast<float>(80 * RAD));
    }
    // the second capsule's animations point at the very same records
    EXPECT_EQ(second.config.animations[want.anim]->components[want.comp]->transform, t);
  }
  // each component has a group list of its own
  for (std::size_t i = 0; i < group_lists.size(); ++i)
    for (std::size_t j = i + 1; j < group_lists.size(); ++j) EXPECT_NE(group_lists[i], group_lists[j]);
}

// SetChuteAirfoils, seen through a capsule restored with its parachute at a given inflation.
struct AirfoilCase {
  const char* cht;
  double ref_z, area;
};

class ChuteAirfoilTest : public CapsuleTest, public testing::WithParamInterface<AirfoilCase> {};

TEST_P(ChuteAirfoilTest, ReferencePointAndWingAreaFollowTheInflation) {
  const host::Vessel& capsule = LoadCapsule(std::string("  CHT ") + GetParam().cht + "\n");
  for (const auto& a : capsule.config.airfoils) {
    ExpectVec(a->ref, {0, 0, GetParam().ref_z}, 1e-12);
    EXPECT_NEAR(a->area, GetParam().area, 1e-12);
    EXPECT_EQ(a->chord, 3);
    EXPECT_EQ(a->aspect, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Inflation, ChuteAirfoilTest,
                         testing::Values(AirfoilCase{"0 1 1 1.0 0 0", -0.1, 3},
                                         AirfoilCase{"0 1 1 0.4 0 0", -1.9, 17.4},
                                         AirfoilCase{"0 1 0 0.0 0 0", -3.1, 27}));

// The empty-mass rule, through capsules restored at each stage of the stack. A lander held at "BS"
// is a vessel of its own whose mass the host adds to the stack, so the capsule counts it only
// before it has made one.
struct MassCase {
  int shield_state, lander_state;
  double mass;
};

class EmptyMassTest : public CapsuleTest, public testing::WithParamInterface<MassCase> {};

TEST_P(EmptyMassTest, FromTheHeatShieldAndTheLander) {
  char cht[64];
  std::snprintf(cht, sizeof cht, "  CHT %d %d 2 1.0 0 0.0\n", GetParam().shield_state, GetParam().lander_state);
  EXPECT_EQ(LoadCapsule(cht).config.empty_mass, GetParam().mass);
}

INSTANTIATE_TEST_SUITE_P(Stack, EmptyMassTest,
                         testing::Values(MassCase{0, 0, 600}, MassCase{0, 1, 320}, MassCase{1, 0, 520},
                                         MassCase{3, 1, 240}, MassCase{0, 2, 320}, MassCase{1, 2, 240},
                                         MassCase{3, 2, 240}, MassCase{0, 3, 200}, MassCase{1, 3, 200},
                                         MassCase{3, 3, 200}));

}  // namespace
