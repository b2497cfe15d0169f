// The pair of airfoil coefficient functions every winged module carries, each
// module with its own lift tables and zero-lift drag.
#pragma once

#include "api.h"

namespace frame {

constexpr int kVerticalBreakpoints = 9;
constexpr int kHorizontalBreakpoints = 8;

// Lift values at the breakpoints and the zero-lift drag; defined once by each
// module.
struct AirfoilConstants {
  double vertical_lift[kVerticalBreakpoints];
  double horizontal_lift[kHorizontalBreakpoints];
  double zero_lift_drag;
};

// Lift coefficient by linear interpolation in a breakpoint table: the segment
// is the first whose upper breakpoint is not below aoa. An aoa outside the
// table extrapolates the end segment it lies beyond.
double InterpolateLift(const double *breakpoints, const double *lift, int n,
                       double aoa);

} // namespace frame

// Each module defines this with its own values.
extern const frame::AirfoilConstants kAirfoilConstants;

void VerticalLiftCoefficients(VESSEL *v, double aoa, double M, double Re,
                              void *context, double *cl, double *cm,
                              double *cd);
void HorizontalLiftCoefficients(VESSEL *v, double aoa, double M, double Re,
                                void *context, double *cl, double *cm,
                                double *cd);
