#include "dynamics.h"

#include <algorithm>
#include <cmath>

#include "aerodynamics.h"
#include "body.h"
#include "contact.h"
#include "gravity.h"
#include "integrator.h"
#include "kinematics.h"
#include "math3.h"
#include "navmodes.h"
#include "rigid_state.h"
#include "world.h"

namespace host {

namespace {

// Time in the air after which the next ground contact counts as a touchdown, s.
constexpr double kRearmTime = 1.0;

struct Impact {
  bool contact = false;  // pressing on the ground at the end of the step
  int points = 0;        // touchdown points pressing on it
  bool crashed = false;
  double vspeed = 0, hspeed = 0;  // at the moment of contact, m/s
  double alt = 0;                 // altitude of the root's origin then, m
};

// Vertical (positive up) and horizontal speed over the ground at state s.
VECTOR3 UpAt(const VECTOR3& r) { return length(r) > 0 ? unit(r) : VECTOR3{0, 1, 0}; }

void GroundSpeeds(const Body& b, const RigidState& s, double& vspeed, double& hspeed) {
  VECTOR3 rel = s.v - b.SurfaceVelocity(s.r);
  VECTOR3 up = UpAt(s.r);
  vspeed = dotp(rel, up);
  hspeed = length(rel - up * vspeed);
}

// A vessel that hit far too fast for its springs stops on the surface: lifted out of the
// ground, moving and turning with it.
void StopOnSurface(const Body& b, double depth, RigidState& s) {
  s.r += UpAt(s.r) * depth;
  s.v = b.SurfaceVelocity(s.r);
  s.w = TMul(s.R, b.pole * b.AngularRate());
}

bool Finite(const VECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool Finite(const RigidState& s) {
  return Finite(s.r) && Finite(s.v) && Finite(s.w) && Finite(Col(s.R, 0)) && Finite(Col(s.R, 1)) && Finite(Col(s.R, 2));
}

// Moves the composite by dt: free flight up to the first ground contact, the contact solve
// from there on.
Impact Move(World& world, const Composite& c, const ForceSum& sum, const MATRIX3& damping, double mass, RigidState& s,
            double dt) {
  const std::vector<Body>& bodies = world.Bodies();
  const Body& body = *c.root->state.kin.ref;
  Impact impact;
  ContactSet contacts;
  GatherContacts(c, body, s, contacts);
  double t_hit = TimeToContact(contacts, s, length(sum.gravity), dt);
  if (t_hit >= dt) {
    FreeFlight(bodies, body, mass, c.inertia, damping, sum, sum.gravity, s, dt);
    return impact;
  }
  if (t_hit > 0) {
    FreeFlight(bodies, body, mass, c.inertia, damping, sum, sum.gravity, s, t_hit);
    GatherContacts(c, body, s, contacts);
  }
  GroundSpeeds(body, s, impact.vspeed, impact.hspeed);
  impact.alt = length(s.r - Mul(s.R, c.cg)) - body.radius;
  ContactLoads loads;
  loads.mass = mass;
  loads.inertia = c.inertia;
  loads.force = Mul(s.R, sum.force) + GravityAt(bodies, body, s.r) * mass;
  loads.torque = sum.torque;
  loads.damping = damping;
  // far too fast for the springs: the vessel stops on the surface
  if (StoppingDepth(contacts, s, mass, dt - t_hit) > contacts.depth_limit) {
    double depth = 0;
    for (int i = 0; i < contacts.count; ++i) depth = std::max(depth, -contacts.p[i].h);
    impact.crashed = impact.contact = true;
    StopOnSurface(body, depth, s);
    return impact;
  }
  ContactOutcome out = ContactStep(contacts, loads, s, dt - t_hit);
  impact.contact = out.active > 0;
  impact.points = out.active;
  if (out.depth > contacts.depth_limit) {  // pressed in too deep by a steady load
    impact.crashed = true;
    StopOnSurface(body, out.depth, s);
  }
  return impact;
}

// Ground-contact state and its events.
void RecordContact(World& world, Vessel& root, const Impact& impact, double dt) {
  VesselState& st = root.state;
  if (impact.contact) {
    // both events tell the moment of contact, not the end of the step
    auto emit = [&](const char* name) {
      Event e = world.MakeEvent(name, &root);
      e.alt = impact.alt;
      e.airspeed = std::sqrt(impact.vspeed * impact.vspeed + impact.hspeed * impact.hspeed);
      e.Add("vspeed", impact.vspeed).Add("hspeed", impact.hspeed);
      world.Events().Emit(std::move(e));
    };
    if (st.in_flight_since_contact) emit("touchdown");
    if (impact.crashed) emit("crash");
    st.in_flight_since_contact = false;
    st.airborne_time = 0;
  } else {
    st.airborne_time += dt;
    if (st.airborne_time >= kRearmTime) st.in_flight_since_contact = true;
  }
  st.ground_contact = impact.contact;
}

void StepComposite(World& world, Vessel& root, double dt) {
  Kinematics& k = root.state.kin;
  if (!k.ref) return;
  Composite c;
  BuildComposite(root, c);
  if (c.truncated) world.Warn(&root, "attachment tree larger than the host simulates: the rest is left behind");
  if (!(c.mass > 0)) return;
  const Body& body = *k.ref;

  // navigation modes: their corrections on the attitude groups for this step
  ApplyNavModes(c, dt);

  // forces: thrust (drawing propellant), aerodynamics, gravity
  AtmosphereState air = AirAt(root);
  VECTOR3 vair = TMul(k.R, GroundVelocity(root));
  ForceSum sum;
  AddThrust(c, dt, air.pressure, sum);
  AddAerodynamics(c, air, vair, sum);
  RigidState s = FromKinematics(k, c.cg);
  AddGravity(world.Bodies(), body, s.r, sum);
  root.state.force_local = sum.force;

  // landed: fixed to the turning surface while the ground can hold it
  if (root.state.landed && HoldLanded(world.Bodies(), c, sum)) return;

  // motion, with the mass at mid-step (the tanks drain over it)
  MATRIX3 damping = RotationalDamping(c, air, length(vair), k.omega);
  Impact impact = Move(world, c, sum, damping, c.mass - 0.5 * sum.propellant_used, s, dt);
  if (!Finite(s)) {
    // numerical trouble (a module's set-up that no rigid body can follow): the step is not
    // taken, and the trouble is reported once
    world.Warn(&root, "motion not finite: the vessel is held where it was");
    return;
  }
  ToKinematics(s, c.cg, k);

  // ground contact, rest, and the body whose sphere of influence the vessel is in
  RecordContact(world, root, impact, dt);
  Settle(c, impact.crashed ? 0 : impact.points, sum, dt);
  UpdateReferenceBody(world.Bodies(), root);
}

}  // namespace

void StepDynamics(World& world, double dt) {
  if (!(dt > 0)) return;
  // every composite in list order, through its root
  for (std::size_t i = 0; i < world.VesselCount(); ++i) {
    Vessel* v = world.VesselByIndex(i);
    if (v && v->alive && !v->Parent()) StepComposite(world, *v, dt);
  }
  // children to their attachment points
  UpdateAttachedPoses(world);
  // kill rotation switches itself off once the rotation has stopped
  for (std::size_t i = 0; i < world.VesselCount(); ++i) {
    Vessel* v = world.VesselByIndex(i);
    if (v && v->alive && v->state.navmode[NAVMODE_KILLROT] && !v->Parent() && RotationStopped(*v) && v->iface)
      v->iface->DeactivateNavmode(NAVMODE_KILLROT);
  }
}

}  // namespace host
