// Checks on a vessel's set-up that several modules' tests make the same way.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "api.h"
#include "vessel_record.h"

namespace testing_support {

// Component by component; with tol 0, exactly.
inline void ExpectVec(const VECTOR3& got, const VECTOR3& want, double tol = 0) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

// A vessel's two drag-only airfoils, vertical then horizontal: both at `ref` with chord and area
// `size` and aspect 1, each its own coefficient function, giving no lift and no moment at any
// angle of attack and the zero-lift drag `cd0` (plus the induced drag of no lift).
inline void ExpectDragOnlyAirfoils(host::Vessel& v, const VECTOR3& ref, double size, double cd0) {
  const host::VesselConfig& c = v.config;
  ASSERT_EQ(c.airfoils.size(), 2u);
  const AIRFOIL_ORIENTATION align[2] = {LIFT_VERTICAL, LIFT_HORIZONTAL};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const host::AirfoilRecord& a = *c.airfoils[i];
    EXPECT_EQ(a.align, align[i]);
    ExpectVec(a.ref, ref);
    EXPECT_EQ(a.context, nullptr);
    EXPECT_EQ(a.chord, size);
    EXPECT_EQ(a.area, size);
    EXPECT_EQ(a.aspect, 1);
    for (double aoa : {-M_PI, -1.0, -0.5, 0.0, 0.3, 1.0, M_PI}) {
      double cl = -1, cm = -1, cd = -1;
      a.cf(v.iface, aoa, 0.0, 1e6, nullptr, &cl, &cm, &cd);
      EXPECT_EQ(cl, 0);
      EXPECT_EQ(cm, 0);
      EXPECT_DOUBLE_EQ(cd, cd0 + oapiGetInducedDrag(0, 1.5, 0.7));
    }
  }
  EXPECT_NE(c.airfoils[0]->cf, c.airfoils[1]->cf);
}

}  // namespace testing_support
