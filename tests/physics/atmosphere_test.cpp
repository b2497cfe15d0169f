// The atmospheres against the formulas they are published with.
#include <gtest/gtest.h>

#include <cmath>

#include "atmosphere.h"

namespace {

using host::AtmosphereState;

// NASA Glenn "Mars Atmosphere Model - Metric Units": T (deg C), p (kPa), rho (kg/m^3).
struct Glenn {
  double T, p, rho;
};
Glenn GlennPublished(double h) {
  double T = h > 7000 ? -23.4 - 0.00222 * h : -31 - 0.000998 * h;
  double p = 0.699 * std::exp(-0.00009 * h);
  return {T, p, p / (0.1921 * (T + 273.1))};
}

class MarsAtmosphere : public testing::TestWithParam<double> {};

TEST_P(MarsAtmosphere, MatchesItsPublishedFormulas) {
  const double h = GetParam();
  Glenn g = GlennPublished(h);
  AtmosphereState glenn = host::MarsGlennAtmosphere()->At(h);
  EXPECT_NEAR(glenn.density, g.rho, 1e-12 * g.rho);
  EXPECT_NEAR(glenn.pressure, g.p * 1000, 1e-9 * g.p * 1000);
  EXPECT_NEAR(glenn.temperature, g.T + 273.1, 1e-9);
  EXPECT_NEAR(glenn.speed_of_sound, std::sqrt(1.29 * 191.8 * (g.T + 273.1)), 1e-9);

  // the default: fact-sheet density with its scale height, the Glenn temperature for sound
  AtmosphereState def = host::MarsExponentialAtmosphere()->At(h);
  EXPECT_NEAR(def.density, 0.020 * std::exp(-h / 11100), 1e-15);
  EXPECT_NEAR(def.temperature, g.T + 273.1, 1e-9);
  EXPECT_NEAR(def.speed_of_sound, glenn.speed_of_sound, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Heights, MarsAtmosphere, testing::Values(0.0, 7000.0, 11200.0, 40000.0));

TEST(Atmosphere, PublishedFiguresAtTheDatum) {
  // Glenn: 0.699 kPa and -31 C give 0.01503 kg/m^3; the fact sheet 0.020
  EXPECT_NEAR(host::MarsGlennAtmosphere()->At(0).density, 0.01503, 1e-5);
  EXPECT_DOUBLE_EQ(host::MarsExponentialAtmosphere()->At(0).density, 0.020);
  // U.S. Standard Atmosphere 1976 table at geometric heights: density at 0, 11, 20, 50 km
  auto earth = host::EarthStandardAtmosphere();
  EXPECT_NEAR(earth->At(0).density, 1.2250, 1e-4);
  EXPECT_NEAR(earth->At(0).speed_of_sound, 340.29, 0.01);
  EXPECT_NEAR(earth->At(11000).density, 0.36480, 1e-4);
  EXPECT_NEAR(earth->At(11000).temperature, 216.77, 0.01);
  EXPECT_NEAR(earth->At(20000).density, 0.088910, 1e-4);
  EXPECT_NEAR(earth->At(50000).density, 1.0269e-3, 2e-6);
}

TEST(Atmosphere, NeverNegativeAndNothingAboveTheTop) {
  for (auto air : {host::MarsExponentialAtmosphere(), host::MarsGlennAtmosphere(), host::EarthStandardAtmosphere()}) {
    for (double h = -20000; h <= air->Top() + 50000; h += 250) {
      AtmosphereState s = air->At(h);
      ASSERT_GE(s.density, 0) << air->Name() << " at " << h;
      ASSERT_TRUE(std::isfinite(s.density) && std::isfinite(s.speed_of_sound)) << air->Name() << " at " << h;
      if (h > air->Top()) {
        ASSERT_EQ(s.density, 0) << air->Name() << " at " << h;
        ASSERT_EQ(s.pressure, 0) << air->Name() << " at " << h;
      } else {
        ASSERT_GT(s.speed_of_sound, 0) << air->Name() << " at " << h;
      }
    }
  }
}

TEST(Atmosphere, MarsTemperatureHeldAboveTheFitsRange) {
  auto air = host::MarsGlennAtmosphere();
  EXPECT_DOUBLE_EQ(air->At(120000).temperature, air->At(100000).temperature);
  EXPECT_GT(air->At(140000).temperature, 0);
}

}  // namespace
