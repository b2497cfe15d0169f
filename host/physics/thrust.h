// Thrust: force and torque of every thruster of a composite, and the propellant it burns.
#pragma once

#include "composite.h"
#include "force_sum.h"

namespace host {

// The level a thruster acts with in this step: the module's level plus the navigation modes'
// correction, limited to 0..1; 0 when its tank is empty (exhausts and streams show this).
double EffectiveLevel(const ThrusterRecord& th);
// Thrust in vacuum at the effective level, N.
double EffectiveThrust(const ThrusterRecord& th);
// Specific impulse at an ambient pressure (Pa): the vacuum value, falling linearly toward the
// reference value at the reference pressure when one is given; m/s.
double SpecificImpulse(const ThrusterRecord& th, double pressure);

// Adds the thrust of every member's thrusters and draws their propellant for dt: flow is
// thrust / (Isp x efficiency of the resource); a tank that runs dry within the step gives
// thrust for the part of the step it lasts.
void AddThrust(const Composite& c, double dt, double pressure, ForceSum& sum);

}  // namespace host
