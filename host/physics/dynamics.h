// The host's flight dynamics: every free vessel, with what is attached to it, moves as one rigid
// body under gravity, thrust, aerodynamics and ground contact.
#pragma once

#include "composite.h"
#include "surface.h"
#include "thrust.h"
#include "vessel_record.h"

namespace host {

class World;

// Advances the world's vessels by dt (s). Events: "touchdown" (vspeed, positive up, and
// hspeed, m/s, relative to the ground) at the first ground contact after a second or more in
// the air; "crash" (the same fields) when a vessel hits far too fast for its touchdown springs:
// it then stops on the surface.
void StepDynamics(World& world, double dt);

}  // namespace host
