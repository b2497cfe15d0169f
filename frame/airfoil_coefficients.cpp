#include "airfoil_coefficients.h"

namespace frame {

namespace {

constexpr double kDegToRad = 0.017453292519943295;

constexpr double kVerticalDegrees[kVerticalBreakpoints] = {
    -180, -60, -30, -2, 10, 15, 50, 90, 180};
constexpr double kHorizontalDegrees[kHorizontalBreakpoints] = {
    -180, -135, -90, -45, 45, 90, 135, 180};

// Wave drag (M1, M2, M3, cmax) and induced drag (aspect ratio, efficiency)
// parameters.
constexpr double kWaveM1 = 0.75, kWaveM2 = 1.0, kWaveM3 = 1.1, kWaveCmax = 0.04;
constexpr double kInducedAspect = 1.5, kInducedEfficiency = 0.7;

double vertical_breakpoints[kVerticalBreakpoints];
bool vertical_filled = false;
double horizontal_breakpoints[kHorizontalBreakpoints];
bool horizontal_filled = false;

void Coefficients(const double *breakpoints, const double *lift, int n,
                  double aoa, double M, double *cl, double *cm, double *cd) {
  *cl = InterpolateLift(breakpoints, lift, n, aoa);
  *cm = 0.0;
  double w = oapiGetWaveDrag(M, kWaveM1, kWaveM2, kWaveM3, kWaveCmax);
  double d = oapiGetInducedDrag(*cl, kInducedAspect, kInducedEfficiency);
  *cd = d + kAirfoilConstants.zero_lift_drag + w;
}

} // namespace

double InterpolateLift(const double *A, const double *L, int n, double aoa) {
  int i = 0;
  while (i < n - 2 && !(aoa <= A[i + 1]))
    ++i;
  return L[i] + (L[i + 1] - L[i]) * (aoa - A[i]) / (A[i + 1] - A[i]);
}

} // namespace frame

void VerticalLiftCoefficients(VESSEL *, double aoa, double M, double, void *,
                              double *cl, double *cm, double *cd) {
  using namespace frame;
  if (!vertical_filled) {
    for (int k = 0; k < kVerticalBreakpoints; ++k)
      vertical_breakpoints[k] = kVerticalDegrees[k] * kDegToRad;
    vertical_filled = true;
  }
  Coefficients(vertical_breakpoints, kAirfoilConstants.vertical_lift,
               kVerticalBreakpoints, aoa, M, cl, cm, cd);
}

void HorizontalLiftCoefficients(VESSEL *, double aoa, double M, double, void *,
                                double *cl, double *cm, double *cd) {
  using namespace frame;
  if (!horizontal_filled) {
    for (int k = 0; k < kHorizontalBreakpoints; ++k)
      horizontal_breakpoints[k] = kHorizontalDegrees[k] * kDegToRad;
    horizontal_filled = true;
  }
  Coefficients(horizontal_breakpoints, kAirfoilConstants.horizontal_lift,
               kHorizontalBreakpoints, aoa, M, cl, cm, cd);
}
