// Aerodynamics: airfoils through the modules' coefficient functions, drag coefficients for
// vessels without airfoils, and rotational drag.
#pragma once

#include "atmosphere.h"
#include "composite.h"
#include "force_sum.h"

namespace host {

// Lift, drag and moment of every member into the sum, for the composite moving through the
// air with vair_root (root axes, m/s, the velocity relative to the air). Each vessel's drag
// (the magnitude of its total drag force) goes to its state.
void AddAerodynamics(const Composite& c, const AtmosphereState& air, const VECTOR3& vair_root, ForceSum& sum);

// Rotational drag as a damping matrix D (root axes, N m s): the torque is -D omega. Each
// member's coefficients scale (rho/2) (v + size |omega|) size^4 about its own axes.
MATRIX3 RotationalDamping(const Composite& c, const AtmosphereState& air, double airspeed, const VECTOR3& omega);

}  // namespace host
