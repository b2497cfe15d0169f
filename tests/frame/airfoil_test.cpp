// The airfoil coefficient functions, with lift tables that make the
// interpolation visible.
#include <gtest/gtest.h>

#include <cmath>

#include "airfoil_coefficients.h"

// Lift value k at breakpoint k; zero-lift drag 0.5.
const frame::AirfoilConstants kAirfoilConstants = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8}, {0, 1, 2, 3, 4, 5, 6, 7}, 0.5};

namespace {

constexpr double kDeg = 0.017453292519943295;

struct Coeffs {
  double cl, cm, cd;
};

Coeffs Vertical(double aoa, double M = 0.0, double Re = 1e6) {
  Coeffs c{};
  VerticalLiftCoefficients(nullptr, aoa, M, Re, nullptr, &c.cl, &c.cm, &c.cd);
  return c;
}

Coeffs Horizontal(double aoa, double M = 0.0) {
  Coeffs c{};
  HorizontalLiftCoefficients(nullptr, aoa, M, 1e6, nullptr, &c.cl, &c.cm,
                             &c.cd);
  return c;
}

TEST(AirfoilCoefficients, EndsOfTheRangeGiveTheEndValues) {
  EXPECT_DOUBLE_EQ(Vertical(-PI).cl, 0.0);
  EXPECT_NEAR(Vertical(PI).cl, 8.0, 1e-12);
  EXPECT_DOUBLE_EQ(Horizontal(-PI).cl, 0.0);
  EXPECT_NEAR(Horizontal(PI).cl, 7.0, 1e-12);
}

TEST(AirfoilCoefficients, InnerBreakpointEndsItsSegment) {
  const double vertical[] = {-180, -60, -30, -2, 10, 15, 50, 90, 180};
  for (int j = 1; j < 8; ++j)
    EXPECT_NEAR(Vertical(vertical[j] * kDeg).cl, j, 1e-12) << vertical[j];
  // halfway along a segment
  EXPECT_NEAR(Vertical(4 * kDeg).cl, 3.5, 1e-12);
  EXPECT_NEAR(Horizontal(0.0).cl, 3.5, 1e-12);
}

TEST(AirfoilCoefficients, DragIsZeroLiftPlusInducedPlusWave) {
  for (double aoa : {-2.0, -0.3, 0.0, 0.7, 3.0}) {
    Coeffs c = Vertical(aoa, 0.0);
    EXPECT_DOUBLE_EQ(c.cm, 0.0);
    EXPECT_NEAR(c.cd, 0.5 + oapiGetInducedDrag(c.cl, 1.5, 0.7), 1e-12);
  }
  Coeffs fast = Vertical(0.0, 2.0);
  EXPECT_NEAR(fast.cd,
              0.5 + oapiGetInducedDrag(fast.cl, 1.5, 0.7) +
                  oapiGetWaveDrag(2.0, 0.75, 1.0, 1.1, 0.04),
              1e-12);
  EXPECT_GT(fast.cd, Vertical(0.0, 0.0).cd);
}

TEST(AirfoilCoefficients, IndependentOfReynoldsNumber) {
  Coeffs a = Vertical(0.3, 0.8, 1.0), b = Vertical(0.3, 0.8, 1e9);
  EXPECT_EQ(a.cl, b.cl);
  EXPECT_EQ(a.cd, b.cd);
}

TEST(AirfoilCoefficients, AngleOutsideTheTableUsesTheEndSegment) {
  EXPECT_TRUE(std::isfinite(Vertical(-4.0).cl));
  EXPECT_NEAR(Vertical(PI + 0.1).cl, 8.0 + 0.1 / (90 * kDeg), 1e-9);
}

} // namespace
