// Navigation modes flown with the vessel's own attitude thruster groups: kill rotation (1) and
// horizon level (2). Their correction is added, for the step, on top of the levels the module
// set (ThrusterRecord::nav_level); the module's levels stay as they are.
#pragma once

#include "composite.h"

namespace host {

// Sets this step's corrections of the composite's root (and clears those of every member).
void ApplyNavModes(const Composite& c, double dt);

// True once kill rotation has done its work: every rate below the threshold (rad/s).
bool RotationStopped(const Vessel& v);

}  // namespace host
