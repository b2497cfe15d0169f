// Gravity and the integrator against Kepler: a circular orbit kept.
#include <algorithm>
#include <cmath>

#include "physics_fixture.h"

namespace {

using physics_test::PhysicsTest;

TEST_F(PhysicsTest, CircularOrbitAboveMarsKeepsRadiusAndEnergyForTenRevolutions) {
  host::Body& mars = Mars();
  const double r0 = mars.radius + 200000;  // above the air
  const double v0 = std::sqrt(mars.gm / r0);
  const double period = 2 * PI * std::sqrt(r0 * r0 * r0 / mars.gm);
  // in the plane of the equator, so the Sun's tide acts as it would on a real orbiter
  VECTOR3 x = Up(mars, 0, 0), y = crossp(mars.pole, x);
  host::Vessel& v = Create("QUARN/quarn_htshld", "Sat", mars, x * r0, y * v0);
  auto energy = [&] {
    const host::Kinematics& k = v.state.kin;
    return 0.5 * dotp(k.rvel, k.rvel) - mars.gm / length(k.rpos);
  };
  const double e0 = energy();

  double worst_radius = 0, worst_energy = 0;
  long step = 0;
  Run(10 * period, 0.01, [&] {
    if (++step % 100) return;
    worst_radius = std::max(worst_radius, std::fabs(length(v.state.kin.rpos) - r0));
    worst_energy = std::max(worst_energy, std::fabs((energy() - e0) / e0));
  });
  EXPECT_EQ(v.state.kin.ref, &mars);
  EXPECT_LT(worst_radius, 10.0);
  EXPECT_LT(worst_energy, 1e-7);
  RecordProperty("radius_error_m", std::to_string(worst_radius));
  RecordProperty("energy_drift", std::to_string(worst_energy));
  std::printf("orbit: radius within %.4f m, relative energy within %.3e over 10 revolutions\n", worst_radius,
              worst_energy);
}

TEST_F(PhysicsTest, ReferenceBodyFollowsTheSphereOfInfluence) {
  host::Body& mars = Mars();
  host::Body& sun = Body("Sun");
  // just outside Mars's sphere of influence, moving out: the Sun takes over, the global state
  // stays the same
  VECTOR3 out = Up(mars, 0, 0);
  host::Vessel& v = Create("QUARN/quarn_htshld", "Leaving", mars, out * (mars.soi - 50), out * 10000);
  World().Step(0.01);
  VECTOR3 before = host::GlobalPos(v), velocity = host::GlobalVel(v);
  World().Step(0.01);
  EXPECT_EQ(v.state.kin.ref, &sun);
  EXPECT_LT(length(host::GlobalPos(v) - (before + velocity * 0.01)), 0.01);
  EXPECT_LT(length(host::GlobalVel(v) - velocity), 0.01);
  // and back in again
  World().Place(v, sun, mars.pos - sun.pos + out * (mars.soi - 1000), mars.vel - out * 10000, host::Identity3(),
                {0, 0, 0});
  World().Step(0.01);
  EXPECT_EQ(v.state.kin.ref, &mars);
}

}  // namespace
