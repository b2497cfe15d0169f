// The design's sign conventions and navigation modes on the mission's own vessels, and the bus's
// rocket equation.
#include <cmath>

#include "physics_fixture.h"

namespace {

using physics_test::PhysicsTest;

constexpr double kBusMass = 1932 + 2400;  // empty with the capsule aboard, full tank
constexpr double kLanderMass = 235 + 45;

class ModulesTest : public PhysicsTest {
 protected:
  host::Vessel& FreeVessel(const char* cls, const char* name) {
    GravityOff();
    return Create(cls, name, Mars(), {4e8, 0, 0}, {0, 0, 0});
  }
  static THRUSTER_HANDLE Cluster(host::Vessel& lander, int i) { return lander.iface->GetThrusterHandleByIndex(i); }
};

TEST_F(ModulesTest, BusAttitudeGroupsTurnTheWayTheirNamesSay) {
  struct Case {
    THGROUP_TYPE group;
    int axis;
    double sign;
  };
  for (Case c :
       {Case{THGROUP_ATT_PITCHUP, 0, 1}, Case{THGROUP_ATT_PITCHDOWN, 0, -1}, Case{THGROUP_ATT_YAWLEFT, 1, 1},
        Case{THGROUP_ATT_YAWRIGHT, 1, -1}, Case{THGROUP_ATT_BANKRIGHT, 2, 1}, Case{THGROUP_ATT_BANKLEFT, 2, -1}}) {
    world_.reset();
    host::Vessel& bus = FreeVessel("QUARN/quarn_bus", "Bus");
    bus.iface->SetThrusterGroupLevel(c.group, 1.0);
    World().Step(0.1);
    const VECTOR3 w = bus.state.kin.omega;
    const double got[3] = {w.x, w.y, w.z};
    EXPECT_GT(c.sign * got[c.axis], 0) << "group " << c.group;
    for (int a = 0; a < 3; ++a) {
      if (a != c.axis) {
        EXPECT_LT(std::fabs(got[a]), 1e-3 * std::fabs(got[c.axis])) << "group " << c.group;
      }
    }
  }
  // pitch up from R2 and R4: 22 N along (-1, -1, 0)/sqrt 2 and (1, -1, 0)/sqrt 2 at z = -2.329 m,
  // tau_x = 2 x 22 x 2.329 / sqrt 2, over I_xx = 2 m^2 x 4332 kg
  world_.reset();
  host::Vessel& bus = FreeVessel("QUARN/quarn_bus", "Bus");
  bus.iface->SetThrusterGroupLevel(THGROUP_ATT_PITCHUP, 1.0);
  World().Step(0.1);
  const double alpha = 2 * 22 * 2.329 / std::sqrt(2.0) / (2 * kBusMass);
  EXPECT_NEAR(bus.state.kin.omega.x, alpha * 0.1, 1e-3 * alpha * 0.1);
}

TEST_F(ModulesTest, ShiftKeypadTwoRaisesTheBusPitchRate) {
  host::Vessel& bus = FreeVessel("QUARN/quarn_bus", "Bus");
  World().SetFocus(&bus);
  World().HoldKeys({OAPI_KEY_LSHIFT, OAPI_KEY_NUMPAD2}, 1.0);
  Run(1.0);
  // the reaction wheels add 2 deg/s per second; the host turns the bus with that rate
  EXPECT_GT(bus.state.kin.omega.x, 0);
  EXPECT_NEAR(bus.state.kin.omega.x, 2 * RAD, 2 * RAD * 0.011);
  EXPECT_NEAR(bus.state.kin.omega.y, 0, 1e-9);
}

TEST_F(ModulesTest, BusMainGroupToEmptyTankGivesTheRocketEquation) {
  host::Vessel& bus = FreeVessel("QUARN/quarn_bus", "Bus");
  bus.iface->SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
  // main engine 424 N at 3300 m/s with R9 to R12, 4 x 22 N at 2900 m/s: 3223.5789 m/s together
  const double ve = (424.0 + 88.0) / (424.0 / 3300 + 88.0 / 2900);
  const double expected = 3223.5789 * std::log(kBusMass / 1932.0);
  EXPECT_NEAR(ve, 3223.5789, 1e-4);
  Run(2400 * ve / 512 + 10);
  EXPECT_EQ(bus.PropellantMass(), 0);
  EXPECT_NEAR(length(bus.state.kin.rvel), expected, 1e-3 * expected);
  std::printf("bus main group to empty: dv %.3f m/s, rocket equation %.3f m/s\n", length(bus.state.kin.rvel), expected);
}

TEST_F(ModulesTest, LanderClusterOneAboveTheOthersPitchesUp) {
  // during the first second after release the lander leaves its engines alone
  struct Case {
    int cluster;
    int axis;
    double sign;
    double torque;  // N m
  };
  for (Case c : {Case{0, 0, 1, 1200}, Case{1, 2, 1, 1200 * 0.8660254}, Case{2, 2, -1, 1200 * 0.8660254}}) {
    world_.reset();
    host::Vessel& lander = FreeVessel("QUARN/quarn_vlqn", "Velquin");
    lander.iface->SetThrusterLevel(Cluster(lander, c.cluster), 1.0);
    World().Step(0.01);
    const VECTOR3 w = lander.state.kin.omega;
    const double got[3] = {w.x, w.y, w.z};
    const double inertia = 0.5 * kLanderMass;  // moments per unit mass 0.5 about x and z
    EXPECT_NEAR(got[c.axis], c.sign * c.torque * 0.01 / inertia, 2e-3 * c.torque * 0.01 / inertia)
        << "cluster " << c.cluster + 1;
  }
  // the groups: pitch up is cluster 1, bank left cluster 3, bank right cluster 2
  world_.reset();
  host::Vessel& lander = FreeVessel("QUARN/quarn_vlqn", "Velquin");
  lander.iface->SetThrusterGroupLevel(THGROUP_ATT_BANKLEFT, 1.0);
  World().Step(0.01);
  EXPECT_LT(lander.state.kin.omega.z, 0);
}

TEST_F(ModulesTest, HorizonLevelBringsATiltedLanderLevelWithItsOwnGroups) {
  // a lander whose descent has ended (state 3: it holds its main group at 0 every step), 2 km up,
  // tilted 20 degrees in pitch
  host::Body& mars = Mars();
  VECTOR3 up = Up(mars, 22, -40), north = unit(mars.pole - up * dotp(mars.pole, up));
  VECTOR3 r = up * (mars.radius + 2000);
  char text[1024];
  std::snprintf(text, sizeof text,
                "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 61270.5\nEND_ENVIRONMENT\nBEGIN_SHIPS\n"
                "Velquin:QUARN/quarn_vlqn\n  STATUS Orbiting Mars\n  RPOS %.3f %.3f %.3f\n  RVEL 0 0 0\n"
                "  DSC 3 2 0.0000\nEND\nEND_SHIPS\n",
                r.x, r.y, r.z);
  Load(text);
  host::Vessel& lander = *World().FindByName("Velquin");
  MATRIX3 level = host::FromCols(crossp(up, north), up, north);
  MATRIX3 tilted = host::Mul(level, host::AxisAngle({1, 0, 0}, -20 * RAD));
  World().Place(lander, mars, r, mars.SurfaceVelocity(r), tilted, {0, 0, 0});
  ASSERT_NEAR(lander.iface->GetPitch(), 20 * RAD, 1e-9);
  ASSERT_TRUE(lander.iface->ActivateNavmode(NAVMODE_HLEVEL));
  Run(5);
  EXPECT_NEAR(lander.iface->GetPitch(), 0, 0.5 * RAD);
  EXPECT_NEAR(lander.iface->GetBank(), 0, 0.5 * RAD);
  EXPECT_LT(length(lander.state.kin.omega - host::TMul(lander.state.kin.R, mars.pole * mars.AngularRate())), 0.01);
  // the module's own levels stayed at 0: only the mode's corrections fired the clusters
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lander.iface->GetThrusterLevel(Cluster(lander, i)), 0);
  EXPECT_LT(lander.PropellantMass(), 45.0);
}

}  // namespace
