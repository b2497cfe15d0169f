// A root vessel and everything attached to it: one rigid body with the mass of
// all.
#pragma once

#include "vessel_record.h"

namespace host {

class World;

// One vessel of a composite and its pose in the root's frame.
struct Member {
  Vessel* v = nullptr;
  MATRIX3 R{1, 0, 0, 0, 1, 0, 0, 0, 1};  // member to root axes
  VECTOR3 pos{0, 0, 0};                  // member origin in root axes, m
};

// Deeper trees than this are cut off (and reported); the mission needs three.
constexpr int kMaxMembers = 16;

struct Composite {
  Vessel* root = nullptr;
  Member members[kMaxMembers];
  int count = 0;
  bool truncated = false;
  double mass = 0;                             // kg
  VECTOR3 cg{0, 0, 0};                         // centre of gravity, root axes, m
  MATRIX3 inertia{0, 0, 0, 0, 0, 0, 0, 0, 0};  // about the cg, root axes, kg m^2
};

// Gathers the root's attachment tree (root first, then children depth first in
// attachment order) and the mass properties of the whole.
void BuildComposite(Vessel& root, Composite& c);

// Moves every vessel attached below this root to its attachment point, with the
// root's velocity and rotation.
void UpdateAttachedPoses(Vessel& root);
// The same for every root of the world (after attach, detach, load).
void UpdateAttachedPoses(World& world);

}  // namespace host
