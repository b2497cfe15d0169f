// The rigid body on a test vessel of known make: torque signs and sizes, torque-free motion,
// the rocket equation, attachments, navigation modes, derived touchdown springs.
#include <algorithm>
#include <cmath>

#include "contact.h"
#include "physics_fixture.h"
#include "thrust.h"

namespace {

// The rig: 1000 kg dry, 500 kg of propellant, moments of inertia per unit mass (2, 3, 1.5),
// attitude couples of 400 N m, a 1000 N main engine with Isp 3000 m/s.
constexpr double kDry = 1000, kFuel = 500, kCouple = 400, kIsp = 3000, kMainThrust = 1000;
const VECTOR3 kPmi{2, 3, 1.5};

class RigTest : public physics_test::PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    AddClass("test/physics_rig", "Module = quarn_physics_rig\n");
  }
  // A rig far out in free space (no gravity anywhere).
  host::Vessel& FreeRig(const char* name = "Rig", const VECTOR3& omega = {0, 0, 0}) {
    GravityOff();
    return Create("test/physics_rig", name, Mars(), {4e8, 0, 0}, {0, 0, 0}, host::Identity3(), omega);
  }
  static double Inertia(int axis) { return (axis == 0 ? kPmi.x : axis == 1 ? kPmi.y : kPmi.z) * (kDry + kFuel); }
};

TEST_F(RigTest, AttitudeGroupsTurnAboutTheirAxesWithTorqueOverInertia) {
  struct Case {
    THGROUP_TYPE group;
    int axis;
    double sign;
  };
  // design convention: +x pitches up, +y yaws left, +z banks right
  for (Case c :
       {Case{THGROUP_ATT_PITCHUP, 0, 1}, Case{THGROUP_ATT_PITCHDOWN, 0, -1}, Case{THGROUP_ATT_YAWLEFT, 1, 1},
        Case{THGROUP_ATT_YAWRIGHT, 1, -1}, Case{THGROUP_ATT_BANKRIGHT, 2, 1}, Case{THGROUP_ATT_BANKLEFT, 2, -1}}) {
    world_.reset();
    host::Vessel& v = FreeRig();
    v.iface->SetThrusterGroupLevel(c.group, 1.0);
    World().Step(0.1);
    const VECTOR3 w = v.state.kin.omega;
    const double got[3] = {w.x, w.y, w.z};
    for (int a = 0; a < 3; ++a) {
      double expected = a == c.axis ? c.sign * kCouple * 0.1 / Inertia(a) : 0;
      EXPECT_NEAR(got[a], expected, 1e-3 * std::fabs(expected) + 1e-12) << "group " << c.group << " axis " << a;
    }
    EXPECT_LT(length(v.state.kin.rvel), 1e-12) << "a couple gives no net force";
  }
}

TEST_F(RigTest, RatesTurnTheFrameAsTheConventionSays) {
  // positive w_x turns the nose (+z) toward +y, positive w_y toward -x, positive w_z turns +y
  // toward +x
  struct Case {
    VECTOR3 omega;
    VECTOR3 axis, toward;
  };
  for (Case c : {Case{{0.1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, Case{{0, 0.1, 0}, {0, 0, 1}, {-1, 0, 0}},
                 Case{{0, 0, 0.1}, {0, 1, 0}, {1, 0, 0}}}) {
    world_.reset();
    host::Vessel& v = FreeRig("Rig", c.omega);
    World().Step(1.0);
    VECTOR3 moved = host::Mul(v.state.kin.R, c.axis);
    EXPECT_NEAR(dotp(moved, c.toward), std::sin(0.1), 1e-6);
  }
}

TEST_F(RigTest, TorqueFreeTumbleKeepsAngularMomentumAndEnergy) {
  host::Vessel& v = FreeRig("Rig", {0.3, 0.02, -0.2});
  auto momentum = [&] {
    const host::Kinematics& k = v.state.kin;
    VECTOR3 Iw{Inertia(0) * k.omega.x, Inertia(1) * k.omega.y, Inertia(2) * k.omega.z};
    return host::Mul(k.R, Iw);  // global axes
  };
  auto energy = [&] {
    const VECTOR3& w = v.state.kin.omega;
    return 0.5 * (Inertia(0) * w.x * w.x + Inertia(1) * w.y * w.y + Inertia(2) * w.z * w.z);
  };
  VECTOR3 L0 = momentum();
  double E0 = energy();
  Run(100);
  EXPECT_LT(length(momentum() - L0) / length(L0), 1e-3);
  EXPECT_NEAR(energy(), E0, 1e-3 * E0);
}

TEST_F(RigTest, MainEngineToEmptyTankFollowsTheRocketEquation) {
  host::Vessel& v = FreeRig();
  v.iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
  Run(kFuel * kIsp / kMainThrust + 1);
  const double dv = kIsp * std::log((kDry + kFuel) / kDry);
  EXPECT_EQ(v.PropellantMass(), 0);
  EXPECT_NEAR(length(v.state.kin.rvel), dv, 1e-4 * dv);
  // the exhaust shows the level the engine acts with: nothing from an empty tank
  EXPECT_EQ(v.config.exhausts[0].Level(), 0);
  EXPECT_EQ(v.iface->GetThrusterGroupLevel(THGROUP_MAIN), 1.0);
}

TEST_F(RigTest, AttachedVesselsMoveAsOneBodyAndDetachWithTheirOwnState) {
  host::Vessel& a = FreeRig("Front");
  host::Vessel& b = Create("test/physics_rig", "Back", Mars(), {4e8, 0, -10}, {0, 0, 0});
  ASSERT_TRUE(a.iface->AttachChild(World().Handle(b), a.iface->GetAttachmentHandle(false, 0),
                                   b.iface->GetAttachmentHandle(true, 0)));
  // the child's point on the parent's, directions opposed: b sits 6 m ahead of a, facing as a
  // does
  EXPECT_NEAR(length(b.state.kin.rpos - a.state.kin.rpos - VECTOR3{0, 0, 6}), 0, 1e-9);

  // the child's main engine pushes the pair: F / (m_a + m_b), along +z
  b.iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
  World().Step(1.0);
  b.iface->SetThrusterGroupLevel(THGROUP_MAIN, 0.0);
  const double m = a.Mass() + b.Mass();
  EXPECT_NEAR(a.state.kin.rvel.z, kMainThrust / m, 1e-3 * kMainThrust / m);
  EXPECT_NEAR(length(b.state.kin.rvel - a.state.kin.rvel), 0, 1e-9);

  // the parent's pitch couple turns the pair about its common cg (3 m ahead of a)
  a.iface->SetThrusterGroupLevel(THGROUP_ATT_PITCHUP, 1.0);
  World().Step(0.1);
  a.iface->SetThrusterGroupLevel(THGROUP_ATT_PITCHUP, 0.0);
  const double Ixx = (kPmi.x + kPmi.x) * (kDry + kFuel) + 2 * (kDry + kFuel) * 9;
  EXPECT_NEAR(a.state.kin.omega.x, kCouple * 0.1 / Ixx, 2e-3 * kCouple * 0.1 / Ixx);
  Run(2);
  EXPECT_NEAR(length(b.state.kin.rpos - a.state.kin.rpos), 6, 1e-9);

  // released at 0.5 m/s along the parent's point direction: each keeps its own motion
  VECTOR3 va = a.state.kin.rvel, vb = b.state.kin.rvel;
  ASSERT_TRUE(a.iface->DetachChild(a.iface->GetAttachmentHandle(false, 0), 0.5));
  EXPECT_NEAR(length(b.state.kin.rvel - vb - host::Mul(a.state.kin.R, VECTOR3{0, 0, 0.5})), 0, 1e-9);
  EXPECT_NEAR(length(a.state.kin.rvel - va), 0, 1e-12);
  VECTOR3 wb = b.state.kin.omega;
  World().Step(0.01);
  EXPECT_NEAR(length(b.state.kin.omega - wb), 0, 1e-9) << "the child keeps turning as it did";
}

TEST_F(RigTest, KillRotationStopsTheRotationWithTheAttitudeGroupsAndSwitchesOff) {
  host::Vessel& v = FreeRig("Rig", {0.05, -0.03, 0.04});
  ASSERT_TRUE(v.iface->ActivateNavmode(NAVMODE_KILLROT));
  World().Step(0.01);
  // corrections act, the module's own levels stay as it set them
  const host::ThrusterGroupRecord* down = nullptr;
  for (const auto& g : v.config.groups)
    if (g->type == THGROUP_ATT_PITCHDOWN) down = g.get();
  ASSERT_NE(down, nullptr);
  EXPECT_GT(host::EffectiveLevel(*down->thrusters[0]), 0);
  EXPECT_EQ(down->thrusters[0]->level, 0);
  EXPECT_EQ(v.iface->GetThrusterGroupLevel(THGROUP_ATT_PITCHDOWN), 0);
  Run(5);
  EXPECT_LT(length(v.state.kin.omega), 2e-4);
  EXPECT_FALSE(v.iface->GetNavmodeState(NAVMODE_KILLROT));
  auto nav = World().Events().Named("navmode");
  ASSERT_EQ(nav.size(), 2u);
  EXPECT_FALSE(std::get<bool>(*nav[1]->Find("on")));
}

TEST_F(RigTest, HorizonLevelBringsATiltedRigLevel) {
  host::Body& mars = Mars();
  SetAir(mars, nullptr);
  VECTOR3 up = Up(mars, 20, 10), north = unit(mars.pole - up * dotp(mars.pole, up));
  // nose 20 degrees up, banked 15 degrees
  MATRIX3 level = host::FromCols(crossp(up, north), up, north);
  MATRIX3 R = host::Mul(level, host::Mul(host::AxisAngle({1, 0, 0}, -20 * RAD), host::AxisAngle({0, 0, 1}, -15 * RAD)));
  VECTOR3 r = up * (mars.radius + 50000);
  host::Vessel& v = Create("test/physics_rig", "Rig", mars, r, mars.SurfaceVelocity(r), R);
  EXPECT_NEAR(v.iface->GetPitch(), 20 * RAD, 1e-9);
  EXPECT_NEAR(v.iface->GetBank(), 15 * RAD, 1e-9);
  v.iface->ActivateNavmode(NAVMODE_HLEVEL);
  Run(10);
  EXPECT_NEAR(v.iface->GetPitch(), 0, 0.2 * RAD);
  EXPECT_NEAR(v.iface->GetBank(), 0, 0.2 * RAD);
  EXPECT_TRUE(v.iface->GetNavmodeState(NAVMODE_HLEVEL));
}

TEST_F(RigTest, DerivedTouchdownSpringsCarryTheWeightAtTheirDesignDepth) {
  host::Body& mars = Mars();
  SetAir(mars, nullptr);
  VECTOR3 up = Up(mars, -30, 100);
  VECTOR3 north = unit(mars.pole - up * dotp(mars.pole, up));
  VECTOR3 r = up * (mars.radius + 1.5 + 0.5);
  host::Vessel& v =
      Create("test/physics_rig", "Rig", mars, r, mars.SurfaceVelocity(r), host::FromCols(crossp(up, north), up, north),
             host::TMul(host::FromCols(crossp(up, north), up, north), mars.pole * mars.AngularRate()));
  Run(10);
  // points given by position only: a 2 Hz vertical mode, k = m w^2 / 3 each. The cg stands
  // over the line from the front point to the middle of the rear pair, twice as far from the
  // rear: the front point carries half the weight, each rear point a quarter.
  const double g = mars.gm / dotp(v.state.kin.rpos, v.state.kin.rpos);
  const double w = host::kDerivedFrequency;
  EXPECT_NEAR(PointHeight(v, 0), -1.5 * g / (w * w), 1e-3);
  EXPECT_NEAR(PointHeight(v, 1), -0.75 * g / (w * w), 1e-3);
  EXPECT_NEAR(PointHeight(v, 2), -0.75 * g / (w * w), 1e-3);
  EXPECT_LT(GroundSpeed(v), 1e-3);
  EXPECT_TRUE(v.state.landed) << "at rest it stands landed";

  // landed, it holds against pushes the ground can take, and lets go of one it cannot: its
  // 1000 N main engine pushes sideways, friction holds at most 0.1 of the weight
  VECTOR3 stood = host::TMul(mars.Orientation(), v.state.kin.rpos);
  v.iface->SetThrusterGroupLevel(THGROUP_MAIN, 0.2);
  Run(1);
  EXPECT_TRUE(v.state.landed);
  EXPECT_LT(length(host::TMul(mars.Orientation(), v.state.kin.rpos) - stood), 1e-6);
  v.iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
  Run(1);
  EXPECT_FALSE(v.state.landed);
  EXPECT_GT(length(host::TMul(mars.Orientation(), v.state.kin.rpos) - stood), 0.05);
}

}  // namespace
