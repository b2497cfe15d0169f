// Ground contact: touchdown points as stiff springs and dampers at the default step, vessels at
// rest, landed vessels, impacts far too fast for the springs, and bit-identical reruns.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "physics_fixture.h"

namespace {

using physics_test::PhysicsTest;

constexpr double kShieldMass = 80, kShieldStiffness = 10000;
// the heat shield's touchdown points lie 0.2 m along +z (its heat-shield side)
constexpr double kShieldPointDepth = 0.2;

class ContactTest : public PhysicsTest {
 protected:
  // A heat shield with its points `drop` above the ground at 45 degrees north, heat-shield side
  // down, at rest on the turning planet, in vacuum.
  host::Vessel& DropShield(double drop, double speed_down = 0) {
    host::Body& mars = Mars();
    SetAir(mars, nullptr);
    up_ = Up(mars, 45, 30);
    VECTOR3 r = up_ * (mars.radius + drop + kShieldPointDepth);
    return Create("QUARN/quarn_htshld", "Shield", mars, r, mars.SurfaceVelocity(r) - up_ * speed_down,
                  Pointing(2, -up_), host::TMul(Pointing(2, -up_), mars.pole * mars.AngularRate()));
  }
  // Body-fixed position of a vessel (follows the turning surface).
  VECTOR3 Fixed(const host::Vessel& v) { return host::TMul(v.state.kin.ref->Orientation(), v.state.kin.rpos); }
  VECTOR3 up_{0, 1, 0};
};

TEST_F(ContactTest, HeatShieldDroppedFromFiveMetresComesToRestOnItsPoints) {
  host::Vessel& v = DropShield(5.0);
  VECTOR3 start = Fixed(v);
  Run(5.0 + std::sqrt(2 * 5.0 / 3.7));  // the fall, then 5 s on the ground

  // touchdown at the free-fall speed
  const double r = length(v.state.kin.rpos);
  const double g = Mars().gm / (r * r);
  auto td = World().Events().Named("touchdown");
  ASSERT_EQ(td.size(), 1u);
  EXPECT_NEAR(std::get<double>(*td[0]->Find("vspeed")), -std::sqrt(2 * g * 5.0), 0.005 * std::sqrt(2 * g * 5.0));
  // the plumb line leans away from the pole: the fall drifts by the centrifugal acceleration
  const double spin = Mars().AngularRate(), lat = 45 * RAD;
  const double lean = spin * spin * r * std::cos(lat) * std::sin(lat);
  EXPECT_NEAR(std::get<double>(*td[0]->Find("hspeed")), lean * std::sqrt(2 * 5.0 / g), 0.003);
  EXPECT_TRUE(World().Events().Named("crash").empty());

  // at rest on all three points, each pressed in by its share of the weight, where it fell
  std::printf(
      "drop: touchdown at %.4f m/s (free fall %.4f), after 5 s %.2e m/s, points at %.5f %.5f %.5f m "
      "(static %.5f)\n",
      std::get<double>(*td[0]->Find("vspeed")), -std::sqrt(2 * g * 5.0), GroundSpeed(v), PointHeight(v, 0),
      PointHeight(v, 1), PointHeight(v, 2), -kShieldMass * g / (3 * kShieldStiffness));
  EXPECT_LT(GroundSpeed(v), 1e-3);
  EXPECT_TRUE(v.iface->GroundContact());
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_NEAR(PointHeight(v, i), -kShieldMass * g / (3 * kShieldStiffness), 1e-3) << "point " << i;
  // sideways only by the lean of the plumb line over the fall, lean h / g
  VECTOR3 moved = Fixed(v) - start;
  EXPECT_NEAR(length(moved - unit(Fixed(v)) * dotp(moved, unit(Fixed(v)))), lean * 5.0 / g, 0.002);

  // and it stays: no jitter, no creep
  VECTOR3 rest = Fixed(v);
  Run(60);
  EXPECT_LT(GroundSpeed(v), 1e-3);
  EXPECT_LT(length(Fixed(v) - rest), 1e-3);
}

TEST_F(ContactTest, ShieldSlidingOnTheGroundStopsByFriction) {
  host::Vessel& v = DropShield(0.0);
  World().Step(0.01);
  host::Kinematics& k = v.state.kin;
  VECTOR3 east = unit(crossp(Mars().pole, up_));
  k.rvel += east * 2.0;
  VECTOR3 start = Fixed(v);
  auto horizontal = [&](const VECTOR3& a, const VECTOR3& up) { return length(a - up * dotp(a, up)); };
  Run(3);
  // Coulomb: deceleration mu g, stopping distance v^2 / (2 mu g), mu = 0.5
  const double g = Mars().gm / dotp(k.rpos, k.rpos);
  const double expected = 2.0 * 2.0 / (2 * 0.5 * g);
  EXPECT_LT(horizontal(host::GroundVelocity(v), unit(k.rpos)), 1e-3);
  EXPECT_NEAR(horizontal(Fixed(v) - start, unit(Fixed(v))), expected, 0.03 * expected);
}

TEST_F(ContactTest, ImpactFarTooFastStopsOnTheSurfaceWithoutTunnelling) {
  for (double speed : {300.0, 3000.0}) {
    world_.reset();
    host::Vessel& v = DropShield(1.0, speed);
    double lowest = 1e9;
    Run(3, 0.01, [&] {
      for (std::size_t i = 0; i < 3; ++i) lowest = std::min(lowest, PointHeight(v, i));
    });
    auto crash = World().Events().Named("crash");
    ASSERT_EQ(crash.size(), 1u) << speed;
    EXPECT_NEAR(-std::get<double>(*crash[0]->Find("vspeed")), speed, 0.01 * speed);
    EXPECT_EQ(World().Events().Named("touchdown").size(), 1u);
    EXPECT_GT(lowest, -0.6) << "sank through the ground at " << speed;
    EXPECT_LT(GroundSpeed(v), 0.01) << speed;
    EXPECT_TRUE(v.iface->GroundContact());
  }
}

TEST_F(ContactTest, LandedTowerStaysWhereItStandsForAnHour) {
  host::Body& mars = Mars();
  VESSELSTATUS vs{};
  vs.rbody = World().BodyHandle(mars);
  vs.rpos = Up(mars, 18, -45) * mars.radius;
  vs.status = 1;
  vs.fuel = 1;
  host::Vessel& tower = World().CreateVessel("Tower", "brakkatower", vs);
  World().FinishCreation();
  ASSERT_TRUE(tower.state.landed);
  VECTOR3 start = Fixed(tower);
  MATRIX3 att = host::Mul(host::Transpose(mars.Orientation()), tower.state.kin.R);
  Run(3600);
  EXPECT_TRUE(tower.state.landed);
  EXPECT_TRUE(tower.iface->GroundContact());
  EXPECT_LT(length(Fixed(tower) - start), 1e-6);
  MATRIX3 now = host::Mul(host::Transpose(mars.Orientation()), tower.state.kin.R);
  EXPECT_NEAR(now.m22, att.m22, 1e-9);
  EXPECT_LT(GroundSpeed(tower), 1e-6);
  EXPECT_NEAR(tower.iface->GetAltitude(), 37.0, 1e-3);  // its origin 37 m above its points
}

TEST_F(ContactTest, SameInputsGiveBitIdenticalStates) {
  auto run = [&] {
    world_.reset();
    host::Vessel& v = DropShield(2.0);
    v.state.kin.omega = {0.05, -0.02, 0.3};  // lands tilting and turning
    Run(6);
    return v.state.kin;
  };
  host::Kinematics a = run(), b = run();
  EXPECT_EQ(std::memcmp(&a.rpos, &b.rpos, sizeof a.rpos), 0);
  EXPECT_EQ(std::memcmp(&a.rvel, &b.rvel, sizeof a.rvel), 0);
  EXPECT_EQ(std::memcmp(&a.R, &b.R, sizeof a.R), 0);
  EXPECT_EQ(std::memcmp(&a.omega, &b.omega, sizeof a.omega), 0);
}

}  // namespace
