// Vessels standing on the surface: placing them, holding them fixed on the turning body while
// nothing lifts them, and letting a vessel at rest on its touchdown points become landed.
#pragma once

#include <vector>

#include "body.h"
#include "composite.h"
#include "force_sum.h"

namespace host {

// Puts a landed vessel on the surface of its reference body at longitude, latitude (rad) and
// heading (rad from north toward east), standing on its touchdown points.
void PlaceLanded(Vessel& v, double longitude, double latitude, double heading);
// Longitude, latitude and heading of a vessel (rad), for saving.
void SurfaceCoordinates(const Vessel& v, double& longitude, double& latitude, double& heading);

// A landed composite: moves the root with the surface and returns true while the ground can
// hold it (the forces press it down and friction holds them sideways); otherwise the root is no
// longer landed and flies from where it stood.
bool HoldLanded(const std::vector<Body>& bodies, const Composite& c, const ForceSum& sum);

// After a step on the ground: a composite at rest on three or more points, unpowered, for a
// while becomes landed, fixed to the surface where it stands.
void Settle(const Composite& c, int points_on_ground, const ForceSum& sum, double dt);

}  // namespace host
