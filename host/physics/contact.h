// Ground contact: touchdown points as springs and dampers with friction, integrated implicitly
// so that stiff dampers stay stable at the fixed step.
#pragma once

#include "body.h"
#include "composite.h"
#include "rigid_state.h"

namespace host {

struct ContactPoint {
  VECTOR3 r{0, 0, 0};         // from the cg, global axes, m
  VECTOR3 n{0, 1, 0};         // ground normal (up) under the point
  VECTOR3 e_lng{1, 0, 0};     // longitudinal friction axis in the ground plane
  VECTOR3 ground_v{0, 0, 0};  // velocity of the rotating ground under the point, m/s
  double h = 0;               // height above the ground, m (negative: pressed in)
  double k = 0, c = 0;        // stiffness N/m, damping N s/m
  double mu_lat = 0, mu_lng = 0;
};

constexpr int kMaxContacts = 48;

struct ContactSet {
  ContactPoint p[kMaxContacts];
  int count = 0;
  double depth_limit = 0;  // m: a point pressed deeper has hit far too fast for its springs
};

// Stiffness and damping of points given only by position: a vertical mode of 2 Hz, critically
// damped, shared by the vessel's points (so they scale with its mass).
constexpr double kDerivedFrequency = 2.0 * 3.14159265358979323846 * 2.0;  // rad/s

// The touchdown points of every member at state s. A vessel without touchdown points touches
// with its origin.
void GatherContacts(const Composite& c, const Body& body, const RigidState& s, ContactSet& set);

// Time (s, from now) until the first point meets the ground, under a fall of g (m/s^2); 0 if a
// point touches already, h or more when none will within h.
double TimeToContact(const ContactSet& set, const RigidState& s, double g, double h);

// How deep the points would press in before the ground stops a vessel closing at the speed it
// has now (m): the springs and dampers within reach of the ground over h decelerate it, from
// v m / C for dampers alone to v sqrt(m / K) for springs alone.
double StoppingDepth(const ContactSet& set, const RigidState& s, double mass, double h);

// Everything acting on the composite but the ground, for one contact step.
struct ContactLoads {
  double mass = 0;          // kg
  MATRIX3 inertia{};        // about the cg, root axes, kg m^2
  VECTOR3 force{0, 0, 0};   // global axes, N, gravity included
  VECTOR3 torque{0, 0, 0};  // root axes, N m (design convention)
  MATRIX3 damping{};        // rotational drag, root axes, N m s
};

struct ContactOutcome {
  int active = 0;    // points pressing on the ground at the end of the step
  double depth = 0;  // deepest point below the ground at the end of the step, m
};

// Advances s by h with the ground's forces implicit (backward Euler on the springs, dampers and
// friction, linearised at the start): unconditionally stable, and a resting vessel settles on
// its static equilibrium without jitter.
ContactOutcome ContactStep(const ContactSet& set, const ContactLoads& loads, RigidState& s, double h);

}  // namespace host
