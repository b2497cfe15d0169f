// The heat shield: a passive vessel configured the same however it comes into
// being.
#include <gtest/gtest.h>

#include <cmath>

#include "../host/world_fixture.h"

namespace {

using testing_support::WorldTest;

const char *const kScenario = R"(BEGIN_ENVIRONMENT
  System Sol
  Date MJD 61270.5
END_ENVIRONMENT
BEGIN_FOCUS
  Ship KTX_Heatshield
END_FOCUS
BEGIN_SHIPS
KTX_Heatshield:QUARN/quarn_htshld
  STATUS Orbiting Mars
  RPOS 3394500.000 0.000 0.000
  RVEL 0.000 0.000 120.000
  AROT 0.000000 90.000000 0.000000
  VROT 0.000000 0.000000 0.000000
END
END_SHIPS
)";

void ExpectHeatShieldConfiguration(const host::Vessel &v) {
  const host::VesselConfig &c = v.config;
  EXPECT_DOUBLE_EQ(c.empty_mass, 80.0);
  EXPECT_DOUBLE_EQ(v.Mass(), 80.0);
  EXPECT_EQ(c.cw_z_pos, 2);
  EXPECT_EQ(c.cw_z_neg, 2);
  EXPECT_EQ(c.cw_x, 1);
  EXPECT_EQ(c.cw_y, 1);
  EXPECT_EQ(c.rot_drag.x, 2);
  EXPECT_EQ(c.rot_drag.z, 2);
  EXPECT_EQ(c.pmi.x, 1);
  EXPECT_EQ(c.pmi.z, 2);
  EXPECT_EQ(c.cross_sections.z, 3);
  EXPECT_EQ(c.size, 2);
  ASSERT_EQ(c.meshes.size(), 1u);
  EXPECT_EQ(c.meshes[0].name, "QUARN/quarn_htshld");
  EXPECT_EQ(c.meshes[0].visibility, MESHVIS_EXTERNAL);
  ASSERT_EQ(c.touchdown.size(), 3u);
  const double expected[3][3] = {
      {0, 2, 0.2}, {-1.732, -1, 0.2}, {1.732, -1, 0.2}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.touchdown[i].pos.x, expected[i][0]);
    EXPECT_EQ(c.touchdown[i].pos.y, expected[i][1]);
    EXPECT_EQ(c.touchdown[i].pos.z, expected[i][2]);
    EXPECT_EQ(c.touchdown[i].stiffness, 10000);
    EXPECT_EQ(c.touchdown[i].damping, 10000);
    EXPECT_EQ(c.touchdown[i].mu, 0.5);
    EXPECT_EQ(c.touchdown[i].mu_lng, 0.5);
  }
  EXPECT_TRUE(c.airfoils.empty());
  EXPECT_TRUE(c.thrusters.empty());
  EXPECT_TRUE(c.propellants.empty());
  EXPECT_TRUE(c.animations.empty());
  EXPECT_TRUE(c.streams.empty());
  EXPECT_TRUE(c.attachments.empty());
}

TEST_F(WorldTest, HeatShieldCreatedInFlightIsConfigured) {
  VESSELSTATUS vs{};
  vs.rbody = oapiGetObjectByName("Mars");
  vs.rpos = {3394500, 0, 0};
  ExpectHeatShieldConfiguration(World().CreateVessel(
      "KTX_Heatshield", "QUARN/quarn_htshld", vs, "KTX_Capsule"));
}

TEST_F(WorldTest, HeatShieldFromAScenarioIsConfiguredTheSame) {
  Load(kScenario);
  host::Vessel *v = World().FindByName("KTX_Heatshield");
  ASSERT_NE(v, nullptr);
  ExpectHeatShieldConfiguration(*v);
}

TEST_F(WorldTest, HeatShieldSavesOnlyStandardLinesAndRoundTrips) {
  Load(kScenario);
  std::string first = World().SaveScenario();
  EXPECT_EQ(first.find("CHT"), std::string::npos);
  world_.reset();
  Load(first);
  EXPECT_EQ(World().SaveScenario(), first);
}

} // namespace
