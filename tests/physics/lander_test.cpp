// The design's sign conventions on the lander, and its horizon-level mode.
#include <cmath>

#include "modules_fixture.h"

namespace {

using physics_test::ModulesTest;

constexpr double kLanderMass = 235 + 45;

THRUSTER_HANDLE Cluster(host::Vessel& lander, int i) { return lander.iface->GetThrusterHandleByIndex(i); }

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
  std::printf("horizon level: after 5 s pitch %.4f deg, bank %.4f deg, %.3f kg of propellant used\n",
              lander.iface->GetPitch() * DEG, lander.iface->GetBank() * DEG, 45.0 - lander.PropellantMass());
  EXPECT_NEAR(lander.iface->GetPitch(), 0, 0.5 * RAD);
  EXPECT_NEAR(lander.iface->GetBank(), 0, 0.5 * RAD);
  EXPECT_LT(length(lander.state.kin.omega - host::TMul(lander.state.kin.R, mars.pole * mars.AngularRate())), 0.01);
  // the module's own levels stayed at 0: only the mode's corrections fired the clusters
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lander.iface->GetThrusterLevel(Cluster(lander, i)), 0);
  EXPECT_LT(lander.PropellantMass(), 45.0);
}

}  // namespace
