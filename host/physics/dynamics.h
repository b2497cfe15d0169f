// The host's flight dynamics: every free vessel, with what is attached to it,
// moves as one rigid body under gravity, thrust, aerodynamics and ground
// contact.
#pragma once

#include "vessel_record.h"

namespace host {

class World;

// Advances the world's vessels by dt: forces, propellant, integration, attached
// poses.
void StepDynamics(World &world, double dt);

// Moves every attached vessel to its parent's attachment point (after attach,
// detach, load).
void UpdateAttachedPoses(World &world);

// Puts a landed vessel on the surface of its reference body at longitude,
// latitude (rad) and heading (rad from north toward east), standing on its
// touchdown points.
void PlaceLanded(Vessel &v, double longitude, double latitude, double heading);
// Longitude, latitude and heading of a vessel (rad), for saving.
void SurfaceCoordinates(const Vessel &v, double &longitude, double &latitude,
                        double &heading);

// Effective thrust of a thruster now (N): the level limited to 0..1, nothing
// from an empty tank.
double EffectiveThrust(const ThrusterRecord &th);

} // namespace host
