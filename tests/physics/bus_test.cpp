// The design's sign conventions on the bus, its reaction-wheel keys, and its rocket equation.
#include <cmath>

#include "modules_fixture.h"

namespace {

using physics_test::ModulesTest;

constexpr double kBusMass = 1932 + 2400;  // empty with the capsule aboard, full tank

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

}  // namespace
