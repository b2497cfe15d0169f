#include "dynamics.h"

#include <algorithm>
#include <cmath>

#include "body.h"
#include "kinematics.h"
#include "math3.h"
#include "world.h"

namespace host {

namespace {

// One member of a rigid composite: the vessel and its pose in the root's frame.
struct Member {
  Vessel *v;
  MATRIX3 R;   // member to root frame
  VECTOR3 pos; // member origin in the root frame
};

constexpr int kMaxMembers = 16;

int CollectMembers(Vessel *v, const MATRIX3 &R, const VECTOR3 &pos, Member *out,
                   int n) {
  if (n >= kMaxMembers)
    return n;
  out[n++] = Member{v, R, pos};
  for (const auto &a : v->config.attachments) {
    if (a->toparent || !a->peer || !a->peer->owner || !a->peer->owner->alive)
      continue;
    RelPose p = AttachmentPose(*a, *a->peer);
    n = CollectMembers(a->peer->owner, Mul(R, p.Rrel), pos + Mul(R, p.pos), out,
                       n);
  }
  return n;
}

double Flow(const ThrusterRecord &th, double thrust) {
  if (!th.resource || th.isp <= 0)
    return 0;
  return thrust / (th.isp * std::max(th.resource->efficiency, 1e-9));
}

// Inverse of a symmetric positive 3x3 matrix.
MATRIX3 Inverse(const MATRIX3 &m) {
  double a = m.m22 * m.m33 - m.m23 * m.m32, b = m.m23 * m.m31 - m.m21 * m.m33,
         c = m.m21 * m.m32 - m.m22 * m.m31;
  double det = m.m11 * a + m.m12 * b + m.m13 * c;
  if (std::fabs(det) < 1e-300)
    return Identity3();
  double k = 1.0 / det;
  return {a * k,
          (m.m13 * m.m32 - m.m12 * m.m33) * k,
          (m.m12 * m.m23 - m.m13 * m.m22) * k,
          b * k,
          (m.m11 * m.m33 - m.m13 * m.m31) * k,
          (m.m13 * m.m21 - m.m11 * m.m23) * k,
          c * k,
          (m.m12 * m.m31 - m.m11 * m.m32) * k,
          (m.m11 * m.m22 - m.m12 * m.m21) * k};
}

MATRIX3 Add(const MATRIX3 &a, const MATRIX3 &b) {
  return {a.m11 + b.m11, a.m12 + b.m12, a.m13 + b.m13,
          a.m21 + b.m21, a.m22 + b.m22, a.m23 + b.m23,
          a.m31 + b.m31, a.m32 + b.m32, a.m33 + b.m33};
}

// Normal of the touchdown base in the vessel frame, pointing toward the ground.
bool BaseNormal(const Vessel &v, VECTOR3 &n, double &height) {
  const auto &td = v.config.touchdown;
  if (td.size() < 3)
    return false;
  VECTOR3 c = crossp(td[1].pos - td[0].pos, td[2].pos - td[0].pos);
  if (length(c) <= 0)
    return false;
  n = unit(c);
  height = dotp(td[0].pos, n);
  return true;
}

// Aerodynamic force and torque on one member (member frame), and the drag
// magnitude.
void Aerodynamics(Vessel &v, const VECTOR3 &vair_local,
                  const AtmosphereState &air, VECTOR3 &F, VECTOR3 &tau,
                  double &drag) {
  F = tau = {0, 0, 0};
  drag = 0;
  double speed = length(vair_local);
  if (air.density <= 0 || speed <= 0)
    return;
  double q = 0.5 * air.density * speed * speed;
  double mach = air.speed_of_sound > 0 ? speed / air.speed_of_sound : 0;
  VECTOR3 flow_dir =
      vair_local / speed; // direction the vessel moves through the air
  if (!v.config.airfoils.empty()) {
    for (const auto &af : v.config.airfoils) {
      if (!af->cf)
        continue;
      double aoa = af->align == LIFT_VERTICAL
                       ? std::atan2(-vair_local.y, vair_local.z)
                       : std::atan2(-vair_local.x, vair_local.z);
      double cl = 0, cm = 0, cd = 0;
      af->cf(v.iface, aoa, mach, 0.0, af->context, &cl, &cm, &cd);
      if (!std::isfinite(cl) || !std::isfinite(cd) || !std::isfinite(cm))
        continue;
      VECTOR3 D = flow_dir * (-q * af->area * cd);
      // Lift is perpendicular to the flow in the airfoil's plane.
      VECTOR3 axis =
          af->align == LIFT_VERTICAL ? VECTOR3{0, 1, 0} : VECTOR3{1, 0, 0};
      VECTOR3 lift_dir = axis - flow_dir * dotp(axis, flow_dir);
      VECTOR3 L = length(lift_dir) > 1e-12
                      ? unit(lift_dir) * (q * af->area * cl)
                      : VECTOR3{0, 0, 0};
      VECTOR3 f = D + L;
      F += f;
      tau += crossp(f, af->ref);
      VECTOR3 m_axis =
          af->align == LIFT_VERTICAL ? VECTOR3{1, 0, 0} : VECTOR3{0, 1, 0};
      tau += m_axis * (q * af->area * af->chord * cm);
      drag += length(D);
    }
  } else {
    const VesselConfig &c = v.config;
    double cda = std::fabs(flow_dir.z) *
                     (flow_dir.z > 0 ? c.cw_z_pos : c.cw_z_neg) *
                     c.cross_sections.z +
                 std::fabs(flow_dir.x) * c.cw_x * c.cross_sections.x +
                 std::fabs(flow_dir.y) * c.cw_y * c.cross_sections.y;
    VECTOR3 D = flow_dir * (-q * cda);
    F += D;
    drag += length(D);
  }
}

void StepComposite(World &world, Vessel &root, double dt) {
  Member members[kMaxMembers];
  int n = CollectMembers(&root, Identity3(), {0, 0, 0}, members, 0);
  Kinematics &k = root.state.kin;
  Body *body = k.ref;

  // mass properties
  double M = 0;
  VECTOR3 cg{0, 0, 0};
  for (int i = 0; i < n; ++i) {
    double m = members[i].v->Mass();
    M += m;
    cg += members[i].pos * m;
  }
  if (M <= 0)
    return;
  cg = cg / M;
  MATRIX3 I{0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < n; ++i) {
    const Member &mb = members[i];
    double m = mb.v->Mass();
    VECTOR3 p = mb.v->config.pmi * m;
    MATRIX3 Ii = Mul(Mul(mb.R, MATRIX3{p.x, 0, 0, 0, p.y, 0, 0, 0, p.z}),
                     Transpose(mb.R));
    VECTOR3 d = mb.pos - cg;
    double dd = dotp(d, d);
    MATRIX3 par{
        m * (dd - d.x * d.x), -m * d.x * d.y,       -m * d.x * d.z,
        -m * d.y * d.x,       m * (dd - d.y * d.y), -m * d.y * d.z,
        -m * d.z * d.x,       -m * d.z * d.y,       m * (dd - d.z * d.z)};
    I = Add(I, Add(Ii, par));
  }

  // forces (root frame) and torques about the centre of gravity
  VECTOR3 F{0, 0, 0}, tau{0, 0, 0};
  double drag_total = 0;
  AtmosphereState air = AirAt(root);
  VECTOR3 vair_root = TMul(k.R, GroundVelocity(root));
  for (int i = 0; i < n; ++i) {
    Member &mb = members[i];
    Vessel &v = *mb.v;
    for (const auto &th : v.config.thrusters) {
      double thrust = EffectiveThrust(*th);
      if (thrust <= 0)
        continue;
      double dm = Flow(*th, thrust) * dt;
      if (th->resource)
        th->resource->mass = std::max(0.0, th->resource->mass - dm);
      VECTOR3 f = Mul(mb.R, th->dir) * thrust;
      VECTOR3 r = mb.pos + Mul(mb.R, th->pos) - cg;
      F += f;
      tau += crossp(f, r);
    }
    VECTOR3 fa, ta;
    double drag = 0;
    Aerodynamics(v, TMul(mb.R, vair_root), air, fa, ta, drag);
    VECTOR3 fa_root = Mul(mb.R, fa);
    F += fa_root;
    tau += Mul(mb.R, ta) + crossp(fa_root, mb.pos - cg);
    v.state.drag = drag;
    drag_total += drag;
  }
  root.state.drag = drag_total;
  root.state.force_local = F;

  // A landed vessel stays on the surface until the forces on it would lift it.
  if (root.state.landed) {
    VECTOR3 up_local = TMul(k.R, unit(k.rpos));
    double g = body ? body->gm / dotp(k.rpos, k.rpos) : 0;
    if (dotp(F, up_local) <= M * g) {
      MATRIX3 O = body->Orientation();
      k.rpos = Mul(O, root.state.landed_surface_pos);
      k.R = Mul(O, root.state.landed_surface_R);
      k.rvel = body->SurfaceVelocity(k.rpos);
      k.omega = TMul(k.R, body->pole * body->AngularRate());
      root.state.ground_contact = true;
      return;
    }
    root.state.landed = false;
  }

  // translation of the centre of gravity: velocity Verlet for gravity, the
  // other forces held over the step
  VECTOR3 rcg = k.rpos + Mul(k.R, cg);
  VECTOR3 omega_g = Mul(k.R, k.omega);
  VECTOR3 vcg = k.rvel + crossp(Mul(k.R, cg), omega_g);
  VECTOR3 a_other = Mul(k.R, F) / M;
  VECTOR3 a0 = body ? BodyGravity(*body, rcg) : VECTOR3{0, 0, 0};
  vcg += (a0 + a_other) * (0.5 * dt);
  rcg += vcg * dt;
  VECTOR3 a1 = body ? BodyGravity(*body, rcg) : VECTOR3{0, 0, 0};
  vcg += (a1 + a_other) * (0.5 * dt);

  // rotation: I dw/dt = tau + w x (I w), then the rotational drag, applied
  // implicitly
  VECTOR3 w = k.omega;
  MATRIX3 Iinv = Inverse(I);
  w += Mul(Iinv, tau + crossp(w, Mul(I, w))) * dt;
  if (air.density > 0) {
    double speed = length(vair_root);
    double size = root.config.size;
    double c =
        0.5 * air.density * std::max(speed, 1.0) * size * size * size * size;
    VECTOR3 rd = root.config.rot_drag;
    w.x /= 1 + rd.x * c * dt * Iinv.m11;
    w.y /= 1 + rd.y * c * dt * Iinv.m22;
    w.z /= 1 + rd.z * c * dt * Iinv.m33;
  }
  double wl = length(w);
  MATRIX3 R = k.R;
  if (wl > 0)
    R = Orthonormalise(Mul(R, AxisAngle(w / wl, -wl * dt)));
  k.R = R;
  k.omega = w;
  omega_g = Mul(R, w);
  k.rpos = rcg - Mul(R, cg);
  k.rvel = vcg - crossp(Mul(R, cg), omega_g);

  // ground: touchdown points may not sink below the surface
  bool contact = false;
  if (body) {
    double vmax = 0;
    VECTOR3 up = unit(k.rpos);
    double lowest = 0;
    for (int i = 0; i < n; ++i) {
      const Member &mb = members[i];
      for (const auto &td : mb.v->config.touchdown) {
        VECTOR3 p = k.rpos + Mul(R, mb.pos + Mul(mb.R, td.pos));
        double h = length(p) - body->radius;
        lowest = std::min(lowest, h);
      }
    }
    if (lowest < 0) {
      contact = true;
      VECTOR3 vrel = k.rvel - body->SurfaceVelocity(k.rpos);
      double vn = dotp(vrel, up);
      vmax = std::fabs(vn);
      k.rpos += up * (-lowest);
      if (vn < 0)
        vrel -= up * vn;
      // friction: the horizontal motion dies away while the vessel presses on
      // the ground
      vrel = vrel * std::max(0.0, 1.0 - 5.0 * dt);
      k.rvel = body->SurfaceVelocity(k.rpos) + vrel;
      k.omega = k.omega * std::max(0.0, 1.0 - 5.0 * dt);
    }
    if (contact && !root.state.ground_contact) {
      VECTOR3 vrel = k.rvel - body->SurfaceVelocity(k.rpos);
      Event e = world.MakeEvent("touchdown", &root);
      e.Add("vspeed", vmax).Add("hspeed", length(vrel - up * dotp(vrel, up)));
      world.Events().Emit(std::move(e));
    }
  }
  root.state.ground_contact = contact;
}

} // namespace

double EffectiveThrust(const ThrusterRecord &th) {
  double level = std::clamp(th.level, 0.0, 1.0);
  if (level <= 0 || th.max_thrust <= 0)
    return 0;
  if (!th.resource || th.resource->mass <= 0)
    return 0;
  return level * th.max_thrust;
}

void UpdateAttachedPoses(World &world) {
  for (std::size_t i = 0; i < world.VesselCount(); ++i) {
    Vessel *root = world.VesselByIndex(i);
    if (!root || root->Parent())
      continue;
    Member members[kMaxMembers];
    int n = CollectMembers(root, Identity3(), {0, 0, 0}, members, 0);
    const Kinematics &k = root->state.kin;
    VECTOR3 omega_g = Mul(k.R, k.omega);
    for (int m = 1; m < n; ++m) {
      Kinematics &c = members[m].v->state.kin;
      VECTOR3 off = Mul(k.R, members[m].pos);
      c.ref = k.ref;
      c.R = Mul(k.R, members[m].R);
      c.rpos = k.rpos + off;
      c.rvel = k.rvel + crossp(off, omega_g);
      c.omega = TMul(members[m].R, k.omega);
      members[m].v->state.landed = false;
      members[m].v->state.ground_contact = root->state.ground_contact;
    }
  }
}

void StepDynamics(World &world, double dt) {
  for (std::size_t i = 0; i < world.VesselCount(); ++i) {
    Vessel *v = world.VesselByIndex(i);
    if (v && v->alive && !v->Parent())
      StepComposite(world, *v, dt);
  }
  UpdateAttachedPoses(world);
}

void PlaceLanded(Vessel &v, double lon, double lat, double heading) {
  Kinematics &k = v.state.kin;
  Body *b = k.ref;
  if (!b)
    return;
  // body-fixed frame: x prime meridian, y north pole, z 90 degrees east
  VECTOR3 up_bf{std::cos(lat) * std::cos(lon), std::sin(lat),
                std::cos(lat) * std::sin(lon)};
  VECTOR3 north_bf = VECTOR3{-std::sin(lat) * std::cos(lon), std::cos(lat),
                             -std::sin(lat) * std::sin(lon)};
  VECTOR3 east_bf = crossp(up_bf, north_bf);
  VECTOR3 fwd_bf = north_bf * std::cos(heading) + east_bf * std::sin(heading);
  VECTOR3 n;
  double height = 0;
  MATRIX3 Rbf;
  if (BaseNormal(v, n, height)) {
    // the base normal points at the ground; the vessel's heading axis is
    // whichever of +z, +y lies best in the base plane
    VECTOR3 ref = std::fabs(n.z) < 0.9 ? VECTOR3{0, 0, 1} : VECTOR3{0, 1, 0};
    VECTOR3 h_local = unit(ref - n * dotp(ref, n));
    MATRIX3 L =
        FromCols(-n, h_local, crossp(-n, h_local)); // vessel axes: up, heading
    MATRIX3 G =
        FromCols(up_bf, fwd_bf, crossp(up_bf, fwd_bf)); // body-fixed axes
    Rbf = Mul(G, Transpose(L));
  } else {
    height = 0; // no base: the vessel stands upright on its origin
    Rbf = FromCols(crossp(up_bf, fwd_bf), up_bf, fwd_bf);
  }
  v.state.landed = true;
  v.state.landed_surface_pos = up_bf * (b->radius + height);
  v.state.landed_surface_R = Rbf;
  MATRIX3 O = b->Orientation();
  k.rpos = Mul(O, v.state.landed_surface_pos);
  k.R = Mul(O, Rbf);
  k.rvel = b->SurfaceVelocity(k.rpos);
  k.omega = TMul(k.R, b->pole * b->AngularRate());
  v.state.ground_contact = true;
}

void SurfaceCoordinates(const Vessel &v, double &lon, double &lat,
                        double &heading) {
  const Kinematics &k = v.state.kin;
  lon = lat = heading = 0;
  if (!k.ref)
    return;
  MATRIX3 O = k.ref->Orientation();
  VECTOR3 p = TMul(O, k.rpos);
  double r = length(p);
  if (r <= 0)
    return;
  lat = std::asin(std::clamp(p.y / r, -1.0, 1.0));
  lon = std::atan2(p.z, p.x);
  MATRIX3 H = HorizonFrame(v);
  VECTOR3 n;
  double height;
  VECTOR3 ref{0, 0, 1};
  if (BaseNormal(v, n, height))
    ref = std::fabs(n.z) < 0.9 ? VECTOR3{0, 0, 1} : VECTOR3{0, 1, 0};
  VECTOR3 f = Mul(k.R, ref);
  heading = std::atan2(dotp(f, Col(H, 0)), dotp(f, Col(H, 2)));
}

} // namespace host
