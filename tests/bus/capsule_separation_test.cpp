// The capsule release: where and how the capsule starts, what the bus sheds, one release only,
// a release the host cannot carry out, and a bus reloaded after its release.
#include <cmath>
#include <filesystem>
#include <string>

#include "../host/vessel_checks.h"
#include "bus_fixture.h"

namespace {

using bus_testing::BusTest;

using testing_support::ExpectVec;

int CountNamed(host::World& w, const std::string& name) {
  int n = 0;
  for (host::Vessel* v : w.Vessels())
    if (v->name == name) ++n;
  return n;
}

TEST_F(BusTest, CapsuleStartsAheadDriftingAndSpinning) {
  host::Vessel& bus = NewBus();
  const MATRIX3 R = host::Mul(host::AxisAngle({0, 1, 0}, 0.7), host::AxisAngle({1, 0, 0}, -0.4));
  const VECTOR3 rvel = {120, -35, 48}, omega = {0.01, -0.02, 0.03};
  World().Place(bus, Mars(), bus.state.kin.rpos, rvel, R, omega);

  ASSERT_EQ(Press(bus, OAPI_KEY_J), 1);
  host::Vessel* capsule = World().FindByName("KTX_Capsule");
  ASSERT_NE(capsule, nullptr);
  EXPECT_EQ(capsule->class_name, "QUARN/quarn_edl_capsule");
  EXPECT_EQ(capsule->created_by, "Bus");

  // 2.225 m ahead along the bus's +z, 0.37 m/s faster along it, with the bus's attitude and 15
  // degrees per second more spin about the third axis
  const host::Kinematics &b = bus.state.kin, &c = capsule->state.kin;
  EXPECT_EQ(c.ref, b.ref);
  ExpectVec(host::TMul(R, c.rpos - b.rpos), {0, 0, 2.225}, 1e-6);
  ExpectVec(host::TMul(R, c.rvel - b.rvel), {0, 0, 0.37}, 1e-12);
  ExpectVec(c.omega, omega + VECTOR3{0, 0, 15 * kDegToRad}, 1e-15);
  for (int i = 0; i < 3; ++i) ExpectVec(host::Col(c.R, i), host::Col(R, i), 1e-12);
  EXPECT_FALSE(capsule->state.landed);

  // the bus sheds the capsule's 600 kg and its back-shell, and keeps its propellant
  EXPECT_EQ(bus.config.empty_mass, 1332);
  EXPECT_EQ(bus.PropellantMass(), 2400);
  EXPECT_FALSE(bus.config.meshes[1].present);
  EXPECT_TRUE(bus.config.meshes[0].present);
  EXPECT_EQ(Saved().vlq, "1");

  const auto created = World().Events().Named("created");
  ASSERT_FALSE(created.empty());
  EXPECT_EQ(created.back()->vessel, "KTX_Capsule");
}

TEST_F(BusTest, SecondJReleasesNothing) {
  host::Vessel& bus = NewBus();
  ASSERT_EQ(Press(bus, OAPI_KEY_J), 1);
  const std::size_t vessels = World().VesselCount();
  const std::size_t events = World().Events().Named("created").size();
  EXPECT_EQ(Press(bus, OAPI_KEY_J), 1);
  EXPECT_EQ(World().VesselCount(), vessels);
  EXPECT_EQ(World().Events().Named("created").size(), events);
  EXPECT_EQ(CountNamed(World(), "KTX_Capsule"), 1);
  EXPECT_EQ(bus.config.empty_mass, 1332);
}

// A capsule the host cannot create stays aboard: the bus keeps its mass and back-shell, the
// host reports the failure, and the key may try again.
TEST_F(BusTest, ReleaseTheHostCannotCarryOutKeepsTheCapsuleAboard) {
  std::filesystem::remove(dir_ / "vessels" / "QUARN" / "quarn_edl_capsule.cfg");
  host::Vessel& bus = NewBus();
  for (int press = 0; press < 2; ++press) {
    SCOPED_TRACE(press);
    EXPECT_EQ(Press(bus, OAPI_KEY_J), 1);
    EXPECT_EQ(World().FindByName("KTX_Capsule"), nullptr);
    EXPECT_EQ(World().VesselCount(), 1u);
    EXPECT_EQ(bus.config.empty_mass, 1932);
    EXPECT_TRUE(bus.config.meshes[1].present);
    EXPECT_EQ(Saved().vlq, "0");
  }
  bool reported = false;
  for (const host::Event* e : World().Events().Named("warning")) {
    const auto* message = e->Find("message");
    if (message && std::get<std::string>(*message).find("KTX_Capsule") != std::string::npos) reported = true;
  }
  EXPECT_TRUE(reported);
  // the bus flies on
  World().Step(0.1);
  EXPECT_EQ(World().DrawHud(bus).size(), 6u);
}

TEST_F(BusTest, BusReloadedAfterTheReleaseStaysLightAndReleasesNoMore) {
  host::Vessel& bus = NewBus();
  Press(bus, OAPI_KEY_J);
  const std::string saved = World().SaveScenario();
  world_.reset();
  Load(saved);
  World().FinishCreation();
  host::Vessel& again = *World().FindByName("Bus");
  EXPECT_EQ(again.config.empty_mass, 1332);
  EXPECT_FALSE(again.config.meshes[1].present);
  EXPECT_EQ(CountNamed(World(), "KTX_Capsule"), 1);
  EXPECT_EQ(Press(again, OAPI_KEY_J), 1);
  EXPECT_EQ(CountNamed(World(), "KTX_Capsule"), 1);
  EXPECT_EQ(World().Events().Named("created").size(), 2u);  // the two vessels of the scenario
}

}  // namespace
