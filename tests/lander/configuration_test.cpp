// The lander as its set-up leaves it: mass and shape, tank, clusters and their groups, the nine
// plumes, the airfoils and the attachment point toward the capsule.
#include <cmath>
#include <set>
#include <vector>

#include "../host/vessel_checks.h"
#include "lander_fixture.h"

namespace {

using lander_testing::LanderTest;

using testing_support::ExpectVec;

TEST_F(LanderTest, PhysicalSetUpWeighs280Kilograms) {
  const host::Vessel& lander = NewLander();
  const host::VesselConfig& c = lander.config;
  EXPECT_EQ(lander.Mass(), 280.0);
  EXPECT_EQ(c.empty_mass, 235.0);
  EXPECT_EQ(c.cw_z_pos, 4);
  EXPECT_EQ(c.cw_z_neg, 4);
  EXPECT_EQ(c.cw_x, 2);
  EXPECT_EQ(c.cw_y, 2);
  ExpectVec(c.rot_drag, {2, 2, 1});
  ExpectVec(c.pmi, {0.5, 1, 0.5});
  ExpectVec(c.cross_sections, {0.5, 0.5, 2.8});
  EXPECT_EQ(c.size, 2);
  ExpectVec(c.camera_offset, {0, 0, 0});
  ASSERT_EQ(c.meshes.size(), 1u);
  EXPECT_EQ(c.meshes[0].name, "QUARN/quarn_lander");
  ExpectVec(c.meshes[0].offset, {0, 0, 0});
  EXPECT_EQ(c.meshes[0].visibility, MESHVIS_EXTERNAL);

  ASSERT_EQ(c.touchdown.size(), 3u);
  const VECTOR3 points[3] = {{0, -0.1, 1}, {-0.866, -0.1, -0.5}, {0.866, -0.1, -0.5}};
  for (int i = 0; i < 3; ++i) {
    ExpectVec(c.touchdown[i].pos, points[i]);
    EXPECT_EQ(c.touchdown[i].stiffness, 10000);
    EXPECT_EQ(c.touchdown[i].damping, 10000);
    EXPECT_EQ(c.touchdown[i].mu, 0.5);
    EXPECT_EQ(c.touchdown[i].mu_lng, 0.5);
  }
  // it stands on its -y side
  const VECTOR3 base = crossp(points[1] - points[0], points[2] - points[0]);
  EXPECT_LT(base.y, 0);

  ASSERT_EQ(c.propellants.size(), 1u);
  EXPECT_EQ(c.propellants[0]->max_mass, 45);
  EXPECT_EQ(c.propellants[0]->mass, 45);
  EXPECT_EQ(c.propellants[0]->efficiency, 1);
}

TEST_F(LanderTest, ThreeClustersFormTheMainEngineAndTheAttitudeGroups) {
  const host::VesselConfig& c = NewLander().config;
  ASSERT_EQ(c.thrusters.size(), 3u);
  const VECTOR3 pos[3] = {{0, 0, 1}, {-0.8660254, 0, -0.5}, {0.8660254, 0, -0.5}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k + 1);
    const host::ThrusterRecord& th = *c.thrusters[k];
    ExpectVec(th.pos, pos[k]);
    ExpectVec(th.dir, {0, 1, 0});
    EXPECT_EQ(th.max_thrust, 1200);
    EXPECT_EQ(th.isp, 2000);
    EXPECT_EQ(th.isp_ref, 0);
    EXPECT_EQ(th.p_ref, 101400);
    EXPECT_EQ(th.resource, c.propellants[0].get());
  }

  const struct {
    THGROUP_TYPE type;
    std::vector<int> clusters;
  } groups[] = {
      {THGROUP_ATT_PITCHUP, {0}},   {THGROUP_ATT_PITCHDOWN, {1, 2}}, {THGROUP_ATT_BANKLEFT, {2}},
      {THGROUP_ATT_BANKRIGHT, {1}}, {THGROUP_MAIN, {0, 1, 2}},
  };
  ASSERT_EQ(c.groups.size(), 5u);
  for (std::size_t g = 0; g < 5; ++g) {
    SCOPED_TRACE(g);
    EXPECT_EQ(c.groups[g]->type, groups[g].type);
    std::vector<int> got;
    for (const host::ThrusterRecord* th : c.groups[g]->thrusters)
      for (int k = 0; k < 3; ++k)
        if (th == c.thrusters[k].get()) got.push_back(k);
    EXPECT_EQ(got, groups[g].clusters);
  }
}

TEST_F(LanderTest, NinePlumesThreePerClusterTurnedAboutTheYAxis) {
  const host::VesselConfig& c = NewLander().config;
  ASSERT_EQ(c.exhausts.size(), 9u);
  // as listed, to four places: cluster 1's middle plume, its neighbours at +9 and -9 degrees, and
  // the whole set turned by 120 and 240 degrees
  const VECTOR3 pos[9] = {{0, -0.1, 0.895},         {-0.1400, -0.1, 0.8840},  {0.1400, -0.1, 0.8840},
                          {-0.7751, -0.1, -0.4475}, {-0.6955, -0.1, -0.5632}, {-0.8356, -0.1, -0.3207},
                          {0.7751, -0.1, -0.4475},  {0.8356, -0.1, -0.3207},  {0.6955, -0.1, -0.5632}};
  const VECTOR3 dir[9] = {{0, -0.988, 0.156},         {-0.0244, -0.988, 0.1541},  {0.0244, -0.988, 0.1541},
                          {-0.1351, -0.988, -0.0780}, {-0.1212, -0.988, -0.0982}, {-0.1456, -0.988, -0.0559},
                          {0.1351, -0.988, -0.0780},  {0.1456, -0.988, -0.0559},  {0.1212, -0.988, -0.0982}};
  std::set<SURFHANDLE> textures;
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const host::ExhaustRecord& e = c.exhausts[i];
    EXPECT_EQ(e.thruster, c.thrusters[i / 3].get());
    EXPECT_EQ(e.lscale, 1.3);
    EXPECT_EQ(e.wscale, 0.08);
    EXPECT_FALSE(e.at_thruster);
    ExpectVec(e.pos, pos[i], 5.1e-5);
    ExpectVec(e.dir, dir[i], 5.1e-5);
    textures.insert(e.texture);

    // 0.895 m from the y axis, pointing 0.988 down and 0.156 outward
    const double radius = std::hypot(e.pos.x, e.pos.z);
    EXPECT_NEAR(radius, 0.895, 1e-12);
    EXPECT_EQ(e.pos.y, -0.1);
    EXPECT_EQ(e.dir.y, -0.988);
    EXPECT_NEAR((e.dir.x * e.pos.x + e.dir.z * e.pos.z) / radius, 0.156, 1e-12);
    EXPECT_NEAR(e.dir.x * e.pos.z - e.dir.z * e.pos.x, 0, 1e-12);

    // at 0, +9 and -9 degrees about y from the cluster's middle plume
    const VECTOR3& mid = c.exhausts[i / 3 * 3].pos;
    const double turn = std::atan2(mid.z * e.pos.x - mid.x * e.pos.z, mid.x * e.pos.x + mid.z * e.pos.z);
    const double want[3] = {0, 9, -9};
    EXPECT_NEAR(turn, -want[i % 3] * RAD, 1e-12);  // +a turns +z toward -x
  }
  ASSERT_EQ(textures.size(), 1u);
  EXPECT_EQ(*textures.begin(), oapiRegisterExhaustTexture("Exhaust2"));
}

TEST_F(LanderTest, TwoDragOnlyAirfoils) {
  // no lift and no moment at any angle; at rest only the zero-lift drag of 0.1
  testing_support::ExpectDragOnlyAirfoils(NewLander(), {0, 0, 0}, 0.05, 0.1);
}

TEST_F(LanderTest, OnePointTowardTheCapsuleCalledBS) {
  host::Vessel& lander = NewLander();
  ASSERT_EQ(lander.iface->AttachmentCount(true), 1u);
  EXPECT_EQ(lander.iface->AttachmentCount(false), 0u);
  ATTACHMENTHANDLE bs = lander.iface->GetAttachmentHandle(true, 0);
  ASSERT_NE(bs, nullptr);
  EXPECT_STREQ(lander.iface->GetAttachmentId(bs), "BS");
  const host::AttachmentRecord& a = *lander.config.attachments[0];
  ExpectVec(a.pos, {0, 0.11, 0});
  ExpectVec(a.dir, {0, 1, 0});
  ExpectVec(a.rot, {0, 0, 1});
  EXPECT_FALSE(a.loose);
}

}  // namespace
