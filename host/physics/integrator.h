// Free flight of a composite: translation by velocity Verlet (gravity evaluated at both ends of
// the step, thrust and aerodynamics held over it), rotation by I dw/dt = tau + w x (I w) with
// rotational drag implicit, attitude by dR/dt = -R [w]x.
#pragma once

#include <vector>

#include "body.h"
#include "force_sum.h"
#include "rigid_state.h"

namespace host {

// Advances s by h. g0 is gravity at s.r (global, m/s^2); mass in kg, inertia and damping in
// root axes about the cg.
void FreeFlight(const std::vector<Body>& bodies, const Body& ref, double mass, const MATRIX3& inertia,
                const MATRIX3& damping, const ForceSum& sum, const VECTOR3& g0, RigidState& s, double h);

// Inverse of a symmetric positive definite 3x3 matrix (identity if singular).
MATRIX3 InverseSym3(const MATRIX3& m);

}  // namespace host
