// Gravity: the reference body as a point mass, the Sun's pull on the vessel
// relative to its pull on that body, and the choice of reference body by sphere
// of influence.
#pragma once

#include <vector>

#include "body.h"
#include "force_sum.h"

namespace host {

struct Vessel;

// The central body of the system: the one whose sphere of influence is
// unbounded.
const Body* CentralBody(const std::vector<Body>& bodies);

// Acceleration at rpos relative to the reference body, global axes, m/s^2. The
// body's frame falls toward the central body with it, so only the central
// body's tide acts on the vessel.
VECTOR3 GravityAt(const std::vector<Body>& bodies, const Body& ref, const VECTOR3& rpos);

// Gravity at the composite's cg into the sum.
void AddGravity(const std::vector<Body>& bodies, const Body& ref, const VECTOR3& rcg, ForceSum& sum);

// The body whose sphere of influence holds a global position: the innermost
// one.
Body* BodyOfInfluence(std::vector<Body>& bodies, const VECTOR3& global_pos);

// Moves a free root vessel (and its state) to the body whose sphere of
// influence it is in. Returns true when the reference body changed.
bool UpdateReferenceBody(std::vector<Body>& bodies, Vessel& root);

}  // namespace host
