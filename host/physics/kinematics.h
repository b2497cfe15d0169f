// What a vessel's state means relative to its body: heights, air, frames,
// attitude angles.
#pragma once

#include "atmosphere.h"
#include "vessel_record.h"

namespace host {

VECTOR3 GlobalPos(const Vessel& v);
VECTOR3 GlobalVel(const Vessel& v);
// Height above the body's mean radius (the ground: bodies have no terrain).
double Altitude(const Vessel& v);
// Local horizon frame at the vessel: columns east, up, north (global axes).
MATRIX3 HorizonFrame(const Vessel& v);
// Velocity relative to the rotating surface and its atmosphere, global axes.
VECTOR3 GroundVelocity(const Vessel& v);
AtmosphereState AirAt(const Vessel& v);
// Gravitational acceleration of the reference body at a point relative to it
// (global axes).
VECTOR3 BodyGravity(const Body& b, const VECTOR3& rpos);
double Pitch(const Vessel& v);
double Bank(const Vessel& v);
// Rigid transform of a child relative to its parent: R_child = R_parent * Rrel,
// and the child's origin at parent-frame position `pos`.
struct RelPose {
  MATRIX3 Rrel;
  VECTOR3 pos;
};
RelPose AttachmentPose(const AttachmentRecord& parent_point, const AttachmentRecord& child_point);

}  // namespace host
