// Drag against closed forms: terminal velocity in still air of constant density, and the
// Allen-Eggers ballistic entry.
#include <algorithm>
#include <cmath>

#include "physics_fixture.h"

namespace {

using physics_test::PhysicsTest;

// The heat shield, falling heat-shield side (+z) first: drag coefficient 2 on 3 m^2.
constexpr double kShieldMass = 80, kShieldCdA = 2 * 3;

TEST_F(PhysicsTest, HeatShieldReachesTerminalVelocityInConstantDensity) {
  host::Body& mars = Mars();
  StopSpin(mars);
  const double rho = 0.02;
  SetAir(mars, host::ExponentialAtmosphere(rho, 0, 210, 1e6));
  VECTOR3 up = Up(mars, 30, 40);
  host::Vessel& v =
      Create("QUARN/quarn_htshld", "Shield", mars, up * (mars.radius + 20000), {0, 0, 0}, Pointing(2, -up));
  Run(100);
  const double r = length(v.state.kin.rpos);
  const double g = mars.gm / (r * r);
  const double terminal = std::sqrt(2 * kShieldMass * g / (rho * kShieldCdA));
  EXPECT_NEAR(GroundSpeed(v), terminal, 0.01 * terminal);
  EXPECT_NEAR(v.iface->GetDrag(), kShieldMass * g, 0.01 * kShieldMass * g);
  EXPECT_NEAR(v.iface->GetMachNumber(), GroundSpeed(v) / std::sqrt(1.4 * 287.05 * 210), 1e-9);
  std::printf("terminal velocity: %.4f m/s, closed form %.4f m/s\n", GroundSpeed(v), terminal);
}

struct Entry {
  double gamma_deg;
};

class AllenEggers : public PhysicsTest, public testing::WithParamInterface<Entry> {};

TEST_P(AllenEggers, PeakDecelerationAndItsAltitude) {
  // a flat, still, gravity-free planet with an exponential atmosphere
  host::Body& mars = Mars();
  GravityOff();
  StopSpin(mars);
  mars.radius = 1e10;
  mars.soi = 1e12;
  const double rho0 = 0.02, H = 11100, VE = 6000;
  SetAir(mars, host::ExponentialAtmosphere(rho0, H, 210, 400000));
  const double gamma = GetParam().gamma_deg * RAD;
  const double beta = kShieldMass / kShieldCdA;

  VECTOR3 up = Up(mars, 10, 20);
  VECTOR3 east = unit(crossp(mars.pole, up));
  VECTOR3 dir = east * std::cos(gamma) - up * std::sin(gamma);
  host::Vessel& v =
      Create("QUARN/quarn_htshld", "Probe", mars, up * (mars.radius + 200000), dir * VE, Pointing(2, dir));
  double peak = 0, peak_alt = 0;
  Run(400 / std::sin(gamma), 0.01, [&] {
    double decel = v.iface->GetDrag() / kShieldMass;
    if (decel > peak) {
      peak = decel;
      peak_alt = v.iface->GetAltitude();
    }
  });
  const double expected_peak = VE * VE * std::sin(gamma) / (2 * std::exp(1.0) * H);
  const double expected_alt = H * std::log(rho0 * H / (beta * std::sin(gamma)));
  EXPECT_NEAR(peak, expected_peak, 0.02 * expected_peak);
  EXPECT_NEAR(peak_alt, expected_alt, 0.02 * expected_alt);
  std::printf("entry at %.0f deg: peak %.3f m/s^2 (closed form %.3f) at %.1f m (closed form %.1f)\n",
              GetParam().gamma_deg, peak, expected_peak, peak_alt, expected_alt);
}

INSTANTIATE_TEST_SUITE_P(FlightPathAngles, AllenEggers, testing::Values(Entry{90}, Entry{40}, Entry{15}));

}  // namespace

namespace {

// The host's helper formulas that the modules' coefficient functions call.
TEST(DragFormulas, InducedDragIsLiftSquaredOverPiAspectEfficiency) {
  EXPECT_DOUBLE_EQ(oapiGetInducedDrag(0.8, 1.5, 0.7), 0.64 / (PI * 1.5 * 0.7));
  EXPECT_EQ(oapiGetInducedDrag(0.0, 1.5, 0.7), 0.0);
  EXPECT_EQ(oapiGetInducedDrag(0.5, 0.0, 0.7), 0.0);  // no wing: no induced drag, not a division by zero
}

TEST(DragFormulas, WaveDragRisesHoldsAndFalls) {
  const double M1 = 0.75, M2 = 1.0, M3 = 1.1, cmax = 0.04;
  EXPECT_EQ(oapiGetWaveDrag(0.5, M1, M2, M3, cmax), 0.0);
  EXPECT_EQ(oapiGetWaveDrag(M1, M1, M2, M3, cmax), 0.0);
  EXPECT_NEAR(oapiGetWaveDrag(0.875, M1, M2, M3, cmax), cmax * 0.5, 1e-15);  // the cubic's middle
  EXPECT_NEAR(oapiGetWaveDrag(M2, M1, M2, M3, cmax), cmax, 1e-15);
  EXPECT_EQ(oapiGetWaveDrag(1.05, M1, M2, M3, cmax), cmax);
  EXPECT_NEAR(oapiGetWaveDrag(2.0, M1, M2, M3, cmax), cmax * std::sqrt((M3 * M3 - 1) / (4.0 - 1)), 1e-15);
  // continuous where the pieces meet
  for (double M : {M1, M2, M3})
    EXPECT_NEAR(oapiGetWaveDrag(M - 1e-9, M1, M2, M3, cmax), oapiGetWaveDrag(M + 1e-9, M1, M2, M3, cmax), 1e-6);
}

}  // namespace
