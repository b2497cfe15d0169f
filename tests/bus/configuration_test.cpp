// The bus as its set-up leaves it: mass and shape, meshes, propellant, thrusters and groups,
// airfoils and the five animations over module-wide transform records.
#include <cmath>
#include <set>

#include "../host/vessel_checks.h"
#include "bus_fixture.h"

namespace {

using bus_testing::BusTest;

using testing_support::ExpectVec;

TEST_F(BusTest, PhysicalSetUp) {
  const host::Vessel& bus = NewBus();
  const host::VesselConfig& c = bus.config;
  EXPECT_EQ(c.empty_mass, 1932);
  EXPECT_EQ(bus.Mass(), 1932 + 2400);
  EXPECT_EQ(c.cw_z_pos, 1);
  EXPECT_EQ(c.cw_z_neg, 1);
  EXPECT_EQ(c.cw_x, 1);
  EXPECT_EQ(c.cw_y, 1);
  ExpectVec(c.rot_drag, {1, 1, 1});
  ExpectVec(c.pmi, {2, 2, 1});
  ExpectVec(c.cross_sections, {7, 7, 4});
  EXPECT_EQ(c.size, 3);
  ExpectVec(c.camera_offset, {0, 1.5, -1.8});

  ASSERT_EQ(c.meshes.size(), 2u);
  EXPECT_EQ(c.meshes[0].name, "QUARN/quarn_bus");
  ExpectVec(c.meshes[0].offset, {0, 0, 0});
  EXPECT_EQ(c.meshes[1].name, "QUARN/quarn_bkshl_stowed");
  ExpectVec(c.meshes[1].offset, {0, 0, 2.225});
  for (const host::MeshRecord& m : c.meshes) {
    EXPECT_EQ(m.visibility, MESHVIS_ALWAYS);
    EXPECT_TRUE(m.present);
  }

  ASSERT_EQ(c.touchdown.size(), 3u);
  ExpectVec(c.touchdown[0].pos, {0.1, 0.8, -1.8});
  ExpectVec(c.touchdown[1].pos, {0.512, -0.853, -1.8});
  ExpectVec(c.touchdown[2].pos, {-0.512, -0.853, -1.8});
  EXPECT_EQ(c.mu_lng, 1);
  EXPECT_EQ(c.mu_lat, 1);
  ASSERT_TRUE(c.has_dock);
  ExpectVec(c.dock_pos, {0, 0, -2});
  ExpectVec(c.dock_dir, {0, 0, -1});
  ExpectVec(c.dock_rot, {0, 1, 0});

  ASSERT_EQ(c.propellants.size(), 1u);
  EXPECT_EQ(c.propellants[0]->max_mass, 2400);
  EXPECT_EQ(c.propellants[0]->mass, 2400);
  EXPECT_EQ(c.propellants[0]->efficiency, 1);

  ASSERT_EQ(c.airfoils.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const host::AirfoilRecord& a = *c.airfoils[i];
    EXPECT_EQ(a.align, i == 0 ? LIFT_VERTICAL : LIFT_HORIZONTAL);
    ExpectVec(a.ref, {0, 0, 0.1});
    EXPECT_EQ(a.chord, 3);
    EXPECT_EQ(a.area, 3);
    EXPECT_EQ(a.aspect, 1);
    EXPECT_EQ(a.context, nullptr);
    // the bus's coefficients: no lift, drag 0.95 at rest
    double cl = -1, cm = -1, cd = -1;
    a.cf(bus.iface, 0.3, 0.0, 1e6, nullptr, &cl, &cm, &cd);
    EXPECT_EQ(cl, 0);
    EXPECT_EQ(cm, 0);
    EXPECT_NEAR(cd, 0.95, 1e-12);
  }
}

TEST_F(BusTest, ThirteenThrustersInEightGroups) {
  const host::VesselConfig& c = NewBus().config;
  ASSERT_EQ(c.thrusters.size(), 13u);
  const host::ThrusterRecord& main = *c.thrusters[0];
  ExpectVec(main.pos, {0, 0, 0});
  ExpectVec(main.dir, {0, 0, 1});
  EXPECT_EQ(main.max_thrust, 424);
  EXPECT_EQ(main.isp, 3300);
  EXPECT_EQ(main.isp_ref, 0);
  EXPECT_EQ(main.p_ref, 101400);
  EXPECT_EQ(main.resource, c.propellants[0].get());

  const VECTOR3 rcs_pos[12] = {{1.11, 0.79, -2.329},    {1.11, -0.79, -2.329},    {-1.11, 0.79, -2.329},
                               {-1.11, -0.79, -2.329},  {1.116, 0.808, -2.242},   {1.116, -0.808, -2.242},
                               {-1.116, 0.808, -2.242}, {-1.116, -0.808, -2.242}, {0.95, 0.95, -2.482},
                               {0.95, -0.95, -2.482},   {-0.95, 0.95, -2.482},    {-0.95, -0.95, -2.482}};
  const double s = 0.7071;
  const VECTOR3 rcs_dir[12] = {{-s, s, 0}, {-s, -s, 0}, {s, s, 0}, {s, -s, 0}, {-s, s, 0}, {-s, -s, 0},
                               {s, s, 0},  {s, -s, 0},  {0, 0, 1}, {0, 0, 1},  {0, 0, 1},  {0, 0, 1}};
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE("R" + std::to_string(i + 1));
    const host::ThrusterRecord& t = *c.thrusters[i + 1];
    ExpectVec(t.pos, rcs_pos[i]);
    ExpectVec(t.dir, rcs_dir[i]);
    EXPECT_EQ(t.max_thrust, 22);
    EXPECT_EQ(t.isp, 2900);
    EXPECT_EQ(t.isp_ref, 0);
    EXPECT_EQ(t.p_ref, 101400);
    EXPECT_EQ(t.resource, c.propellants[0].get());
  }

  // thrusters by index: 0 the main engine, 1..12 R1..R12
  const struct {
    THGROUP_TYPE type;
    std::set<int> members;
  } groups[] = {
      {THGROUP_ATT_PITCHUP, {2, 4}},          {THGROUP_ATT_PITCHDOWN, {1, 3}},    {THGROUP_ATT_BANKLEFT, {5, 8}},
      {THGROUP_ATT_BANKRIGHT, {6, 7}},        {THGROUP_ATT_YAWLEFT, {3, 4}},      {THGROUP_ATT_YAWRIGHT, {1, 2}},
      {THGROUP_ATT_FORWARD, {9, 10, 11, 12}}, {THGROUP_MAIN, {9, 10, 11, 12, 0}},
  };
  ASSERT_EQ(c.groups.size(), 8u);
  for (std::size_t g = 0; g < 8; ++g) {
    SCOPED_TRACE("group " + std::to_string(g));
    EXPECT_EQ(c.groups[g]->type, groups[g].type);
    std::set<int> got;
    for (const host::ThrusterRecord* t : c.groups[g]->thrusters)
      for (int i = 0; i < 13; ++i)
        if (c.thrusters[i].get() == t) got.insert(i);
    EXPECT_EQ(got, groups[g].members);
  }

  // one plume per thruster: the main engine's behind the bus, the others at their thrusters
  ASSERT_EQ(c.exhausts.size(), 13u);
  EXPECT_EQ(c.exhausts[0].thruster, c.thrusters[0].get());
  EXPECT_EQ(c.exhausts[0].lscale, 3);
  EXPECT_EQ(c.exhausts[0].wscale, 0.2);
  EXPECT_FALSE(c.exhausts[0].at_thruster);
  ExpectVec(c.exhausts[0].pos, {0, 0, -2.67});
  ExpectVec(c.exhausts[0].dir, {0, 0, -1});
  for (int i = 1; i < 13; ++i) {
    EXPECT_EQ(c.exhausts[i].thruster, c.thrusters[i].get());
    EXPECT_EQ(c.exhausts[i].lscale, 2.0);
    EXPECT_EQ(c.exhausts[i].wscale, 0.1);
    EXPECT_TRUE(c.exhausts[i].at_thruster);
    EXPECT_EQ(c.exhausts[i].texture, c.exhausts[1].texture);
  }
  EXPECT_NE(c.exhausts[0].texture, c.exhausts[1].texture);
}

TEST_F(BusTest, MainGroupFiresTheForwardAttitudeThrustersToo) {
  host::Vessel& bus = NewBus();
  bus.iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(bus.config.thrusters[i]->level, i == 0 || i >= 9 ? 1.0 : 0.0) << i;
}

// Each component: the animation, its groups of mesh 0, reference point, axis, angle (degrees) and
// the index of its parent among all ten (-1 for none).
struct Component {
  int anim;
  std::set<UINT> groups;
  VECTOR3 ref, axis;
  double angle;
  int parent;
};

TEST_F(BusTest, FiveAnimationsOfTenRotations) {
  const Component want[10] = {
      {0, {}, {0, 0, 0}, {-1, 0, 0}, 360, -1},
      {1, {3}, {-1.05, 0, 0}, {0, 1, 0}, -90, 0},
      {1, {0}, {-1.066, 0, 1.392}, {0, 1, 0}, 180, 1},
      {1, {4}, {-1.095, 0, -2.096}, {0, 1, 0}, -180, 2},
      {1, {2}, {1.05, 0, 0}, {0, 1, 0}, 90, 0},
      {1, {1}, {1.066, 0, 1.392}, {0, 1, 0}, -180, 4},
      {1, {5}, {1.095, 0, -2.096}, {0, 1, 0}, 180, 5},
      {2, {}, {0, 1.664, -1.952}, {1, 0, 0}, -108, -1},
      {3, {}, {0, 1.664, -1.952}, {1, 0, 0}, -180, 7},
      {4, {12, 13, 14}, {0, 1.664, -1.952}, {0, -0.309, 0.951}, 360, 8},
  };
  const host::Vessel& bus = NewBus();
  const host::VesselConfig& c = bus.config;
  ASSERT_EQ(c.animations.size(), 5u);
  const double initial[5] = {0, 0, 0, 0.34, 0};
  std::vector<const host::AnimationComponentRecord*> all;
  for (int a = 0; a < 5; ++a) {
    EXPECT_EQ(c.animations[a]->default_state, initial[a]);
    EXPECT_EQ(c.animations[a]->state, initial[a]);
    for (const auto& comp : c.animations[a]->components) all.push_back(comp.get());
  }
  ASSERT_EQ(all.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE("component " + std::to_string(i));
    const host::AnimationComponentRecord& got = *all[i];
    // components in order of creation across the animations
    int anim = 0;
    for (int a = 0; a < 5; ++a)
      for (const auto& comp : c.animations[a]->components)
        if (comp.get() == all[i]) anim = a;
    EXPECT_EQ(anim, want[i].anim);
    EXPECT_EQ(got.state0, 0);
    EXPECT_EQ(got.state1, 1);
    ASSERT_EQ(got.transform->Type(), MGROUP_TRANSFORM::ROTATE);
    const auto& r = *static_cast<const MGROUP_ROTATE*>(got.transform);
    EXPECT_EQ(r.mesh, 0u);
    EXPECT_EQ(std::set<UINT>(r.grp, r.grp + r.ngrp), want[i].groups);
    ExpectVec(r.ref, want[i].ref);
    ExpectVec(r.axis, want[i].axis);
    EXPECT_EQ(r.angle, static_cast<float>(want[i].angle * 0.017453292519943295));
    EXPECT_EQ(got.parent, want[i].parent < 0 ? nullptr : all[want[i].parent]);
  }
}

TEST_F(BusTest, SecondBusHasItsOwnAnimationsOverTheSameTransforms) {
  const host::Vessel& first = NewBus(host::Identity3(), "Bus");
  const host::Vessel& second = NewBus(host::Identity3(), "Bus2");
  ASSERT_EQ(second.config.animations.size(), 5u);
  for (int a = 0; a < 5; ++a) {
    const auto& f = first.config.animations[a]->components;
    const auto& s = second.config.animations[a]->components;
    ASSERT_EQ(f.size(), s.size());
    for (std::size_t i = 0; i < f.size(); ++i) {
      EXPECT_NE(f[i].get(), s[i].get());
      EXPECT_EQ(f[i]->transform, s[i]->transform);
    }
  }
  // moving one bus's wings leaves the other's alone
  second.iface->SetAnimation(bus_testing::kSolarDeploy, 0.5);
  EXPECT_EQ(first.config.animations[bus_testing::kSolarDeploy]->state, 0);
}

TEST_F(BusTest, EmptyMassFollowsTheCapsuleFlag) {
  const struct {
    const char* vlq;
    double empty_mass;
  } cases[] = {{"", 1932}, {"  VLQ 0\n", 1932}, {"  VLQ 1\n", 1332}, {"  VLQ 2\n", 1332}, {"  VLQ -1\n", 1332}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.vlq);
    world_.reset();
    EXPECT_EQ(LoadBus(tc.vlq).config.empty_mass, tc.empty_mass);
  }
}

}  // namespace
