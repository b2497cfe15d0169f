#include "composite.h"

#include "kinematics.h"
#include "math3.h"
#include "world.h"

namespace host {

namespace {

void Collect(Vessel* v, const MATRIX3& R, const VECTOR3& pos, Composite& c) {
  if (c.count >= kMaxMembers) {
    c.truncated = true;
    return;
  }
  c.members[c.count++] = Member{v, R, pos};
  for (const auto& a : v->config.attachments) {
    if (a->toparent || !a->peer || !a->peer->owner || !a->peer->owner->alive) continue;
    RelPose p = AttachmentPose(*a, *a->peer);
    Collect(a->peer->owner, Mul(R, p.Rrel), pos + Mul(R, p.pos), c);
  }
}

}  // namespace

void BuildComposite(Vessel& root, Composite& c) {
  c.root = &root;
  c.count = 0;
  c.truncated = false;
  Collect(&root, Identity3(), {0, 0, 0}, c);

  // mass and centre of gravity: each vessel's mass sits at its origin
  c.mass = 0;
  VECTOR3 moment{0, 0, 0};
  for (int i = 0; i < c.count; ++i) {
    double m = c.members[i].v->Mass();
    c.mass += m;
    moment += c.members[i].pos * m;
  }
  c.cg = c.mass > 0 ? moment / c.mass : VECTOR3{0, 0, 0};

  // inertia: each vessel's principal moments (per unit mass, times its mass)
  // turned into root axes, moved to the common cg
  MATRIX3 I{0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < c.count; ++i) {
    const Member& mb = c.members[i];
    double m = mb.v->Mass();
    VECTOR3 p = mb.v->config.pmi * m;
    MATRIX3 Ii = Mul(Mul(mb.R, MATRIX3{p.x, 0, 0, 0, p.y, 0, 0, 0, p.z}), Transpose(mb.R));
    VECTOR3 d = mb.pos - c.cg;
    double dd = dotp(d, d);
    I.m11 += Ii.m11 + m * (dd - d.x * d.x);
    I.m12 += Ii.m12 - m * d.x * d.y;
    I.m13 += Ii.m13 - m * d.x * d.z;
    I.m21 += Ii.m21 - m * d.y * d.x;
    I.m22 += Ii.m22 + m * (dd - d.y * d.y);
    I.m23 += Ii.m23 - m * d.y * d.z;
    I.m31 += Ii.m31 - m * d.z * d.x;
    I.m32 += Ii.m32 - m * d.z * d.y;
    I.m33 += Ii.m33 + m * (dd - d.z * d.z);
  }
  c.inertia = I;
}

void UpdateAttachedPoses(Vessel& root) {
  bool has_children = false;
  for (const auto& a : root.config.attachments) has_children |= !a->toparent && a->peer;
  if (!has_children) return;
  Composite c;
  c.count = 0;
  Collect(&root, Identity3(), {0, 0, 0}, c);
  const Kinematics& k = root.state.kin;
  VECTOR3 omega_g = Mul(k.R, k.omega);
  for (int m = 1; m < c.count; ++m) {
    Vessel& child = *c.members[m].v;
    Kinematics& ck = child.state.kin;
    VECTOR3 off = Mul(k.R, c.members[m].pos);
    ck.ref = k.ref;
    ck.R = Mul(k.R, c.members[m].R);
    ck.rpos = k.rpos + off;
    // a point fixed to the root moves as off x omega (design convention)
    ck.rvel = k.rvel + crossp(off, omega_g);
    ck.omega = TMul(c.members[m].R, k.omega);
    child.state.landed = false;
    child.state.ground_contact = root.state.ground_contact;
    child.state.rest_time = 0;
  }
}

void UpdateAttachedPoses(World& world) {
  for (std::size_t i = 0; i < world.VesselCount(); ++i) {
    Vessel* v = world.VesselByIndex(i);
    if (v && v->alive && !v->Parent()) UpdateAttachedPoses(*v);
  }
}

}  // namespace host
