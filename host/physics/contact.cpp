#include "contact.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Friction at rest is a stiff viscous law: the ground takes up the sliding speed within about
// a tenth of a step, as far as Coulomb's limit allows.
constexpr double kStickGain = 10.0;
constexpr int kMaxSolves = 8;

using Mat6 = double[6][6];

// Solves A x = b for a symmetric positive definite A (Cholesky). False if A is not.
bool Solve6(Mat6& A, double b[6], double x[6]) {
  double L[6][6] = {};
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j <= i; ++j) {
      double s = A[i][j];
      for (int k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
      if (i == j) {
        if (!(s > 0)) return false;
        L[i][i] = std::sqrt(s);
      } else {
        L[i][j] = s / L[j][j];
      }
    }
  }
  double y[6];
  for (int i = 0; i < 6; ++i) {
    double s = b[i];
    for (int k = 0; k < i; ++k) s -= L[i][k] * y[k];
    y[i] = s / L[i][i];
  }
  for (int i = 5; i >= 0; --i) {
    double s = y[i];
    for (int k = i + 1; k < 6; ++k) s -= L[k][i] * x[k];
    x[i] = s / L[i][i];
  }
  return true;
}

// Skew matrix [a]x: [a]x b = a x b.
MATRIX3 Skew(const VECTOR3& a) { return {0, -a.z, a.y, a.z, 0, -a.x, -a.y, a.x, 0}; }

MATRIX3 Scaled(const MATRIX3& M, double f) {
  return {M.m11 * f, M.m12 * f, M.m13 * f, M.m21 * f, M.m22 * f, M.m23 * f, M.m31 * f, M.m32 * f, M.m33 * f};
}

MATRIX3 Outer(const VECTOR3& a, const VECTOR3& b) {
  return {a.x * b.x, a.x * b.y, a.x * b.z, a.y * b.x, a.y * b.y, a.y * b.z, a.z * b.x, a.z * b.y, a.z * b.z};
}

void AddBlock(Mat6& A, int row, int col, const MATRIX3& M) {
  const double m[9] = {M.m11, M.m12, M.m13, M.m21, M.m22, M.m23, M.m31, M.m32, M.m33};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) A[row + i][col + j] += m[3 * i + j];
}

void AddVec(double b[6], int at, const VECTOR3& v) {
  b[at] += v.x;
  b[at + 1] += v.y;
  b[at + 2] += v.z;
}

// Largest friction force in direction d (unit, in the ground plane): Coulomb's ellipse with the
// longitudinal and lateral coefficients.
double FrictionLimit(const ContactPoint& p, const VECTOR3& d, double normal) {
  VECTOR3 e_lat = crossp(p.n, p.e_lng);
  double a = dotp(d, p.e_lng) / std::max(p.mu_lng, 1e-9), b = dotp(d, e_lat) / std::max(p.mu_lat, 1e-9);
  return normal / std::sqrt(a * a + b * b);
}

// The vessel's forward axis, as the landed pose uses it: +z unless the base faces along z.
VECTOR3 HeadingAxis(const Vessel& v) {
  const auto& td = v.config.touchdown;
  if (td.size() >= 3) {
    VECTOR3 n = crossp(td[1].pos - td[0].pos, td[2].pos - td[0].pos);
    double l = length(n);
    if (l > 0 && std::fabs(n.z / l) >= 0.9) return {0, 1, 0};
  }
  return {0, 0, 1};
}

void AddPoint(ContactSet& set, const Body& body, const RigidState& s, const VECTOR3& p_root, const VECTOR3& cg,
              const VECTOR3& heading_g, double k, double c, double mu_lat, double mu_lng) {
  if (set.count >= kMaxContacts) return;
  ContactPoint& p = set.p[set.count++];
  p.r = Mul(s.R, p_root - cg);
  VECTOR3 at = s.r + p.r;
  double d = length(at);
  p.n = d > 0 ? at / d : VECTOR3{0, 1, 0};
  p.h = d - body.radius;
  p.ground_v = body.SurfaceVelocity(at);
  VECTOR3 e = heading_g - p.n * dotp(heading_g, p.n);
  if (length(e) < 1e-9) {  // heading straight up or down: any axis in the plane
    VECTOR3 any = std::fabs(p.n.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 0, 1};
    e = any - p.n * dotp(any, p.n);
  }
  p.e_lng = unit(e);
  p.k = k;
  p.c = c;
  p.mu_lat = mu_lat;
  p.mu_lng = mu_lng;
}

}  // namespace

void GatherContacts(const Composite& c, const Body& body, const RigidState& s, ContactSet& set) {
  set.count = 0;
  VECTOR3 lo{0, 0, 0}, hi{0, 0, 0};
  bool any = false;
  for (int i = 0; i < c.count; ++i) {
    const Member& mb = c.members[i];
    const VesselConfig& cfg = mb.v->config;
    VECTOR3 heading_g = Mul(s.R, Mul(mb.R, HeadingAxis(*mb.v)));
    double m = mb.v->Mass();
    std::size_t n = std::max<std::size_t>(cfg.touchdown.size(), 1);
    double k_derived = m * kDerivedFrequency * kDerivedFrequency / static_cast<double>(n);
    double c_derived = 2.0 * m * kDerivedFrequency / static_cast<double>(n);
    if (cfg.touchdown.empty()) {
      AddPoint(set, body, s, mb.pos, c.cg, heading_g, k_derived, c_derived, cfg.mu_lat, cfg.mu_lng);
      continue;
    }
    for (const TOUCHDOWNVTX& td : cfg.touchdown) {
      VECTOR3 p_root = mb.pos + Mul(mb.R, td.pos);
      if (cfg.touchdown_derived)
        AddPoint(set, body, s, p_root, c.cg, heading_g, k_derived, c_derived, cfg.mu_lat, cfg.mu_lng);
      else
        AddPoint(set, body, s, p_root, c.cg, heading_g, std::max(td.stiffness, 0.0), std::max(td.damping, 0.0), td.mu,
                 td.mu_lng);
      lo = any ? VECTOR3{std::min(lo.x, p_root.x), std::min(lo.y, p_root.y), std::min(lo.z, p_root.z)} : p_root;
      hi = any ? VECTOR3{std::max(hi.x, p_root.x), std::max(hi.y, p_root.y), std::max(hi.z, p_root.z)} : p_root;
      any = true;
    }
  }
  // springs may give a quarter of the base's half-width before the hit counts as a crash
  double spread = any ? 0.5 * length(hi - lo) : 0;
  set.depth_limit = std::max(0.25 * spread, 0.1 * c.root->config.size);
}

double TimeToContact(const ContactSet& set, const RigidState& s, double g, double h) {
  VECTOR3 ws = Mul(s.R, s.w) * -1.0;  // standard-form rate: point velocity v + ws x r
  double first = h;
  for (int i = 0; i < set.count; ++i) {
    const ContactPoint& p = set.p[i];
    if (p.h <= 0) return 0;
    double vn = dotp(s.v + crossp(ws, p.r) - p.ground_v, p.n);
    // height at the end of h under the present speed and the fall
    double end = p.h + vn * h - 0.5 * g * h * h;
    if (end > 0) continue;
    double closing = -vn + 0.5 * g * h;
    if (closing > 0) first = std::min(first, p.h / closing);
  }
  return first;
}

double StoppingDepth(const ContactSet& set, const RigidState& s, double mass, double h) {
  VECTOR3 ws = Mul(s.R, s.w) * -1.0;
  double K = 0, C = 0, depth = 0, closing = 0;
  for (int i = 0; i < set.count; ++i) {
    const ContactPoint& p = set.p[i];
    double vn = dotp(s.v + crossp(ws, p.r) - p.ground_v, p.n);
    if (p.h + h * std::min(vn, 0.0) >= 0 && p.h > 0) continue;
    K += p.k;
    C += p.c;
    depth = std::max(depth, -p.h);
    closing = std::max(closing, -vn);
  }
  if (!(closing > 0) || !(mass > 0)) return depth;
  double rate = C / mass + std::sqrt(K / mass);
  return rate > 0 ? depth + closing / rate : 1e300;
}

ContactOutcome ContactStep(const ContactSet& set, const ContactLoads& L, RigidState& s, double h) {
  // The unknowns are the velocities at the end of the step in global axes, u = (v, ws), with
  // the rate in standard form ws = -R w (then a point moves as v + ws x r, a force f at r
  // turns as r x f, and I dws/dt = tau_s - ws x I ws).
  const MATRIX3 Ig = Mul(Mul(s.R, L.inertia), Transpose(s.R));
  const MATRIX3 Dg = Mul(Mul(s.R, L.damping), Transpose(s.R));
  const VECTOR3 ws0 = Mul(s.R, s.w) * -1.0;
  // outside torque and the gyroscopic term, standard form: -(tau + w x I w)
  const VECTOR3 tau_s = Mul(s.R, L.torque + crossp(s.w, Mul(L.inertia, s.w))) * -1.0;

  // friction of each point: sticking, sliding, or sticking again after a slide that the
  // friction alone would have reversed within the step (it comes to rest)
  enum Friction { kStick, kSlip, kStopped };
  bool active[kMaxContacts];
  Friction slip[kMaxContacts];
  VECTOR3 slip_force[kMaxContacts];
  int n_active = 0;
  for (int i = 0; i < set.count; ++i) {
    const ContactPoint& p = set.p[i];
    double vn = dotp(s.v + crossp(ws0, p.r) - p.ground_v, p.n);
    // in the ground now, or going to be by the end of the step
    active[i] = p.h + h * std::min(vn, 0.0) < 0 || p.h <= 0;
    slip[i] = kStick;
    slip_force[i] = {0, 0, 0};
    n_active += active[i];
  }
  double stick = n_active > 0 ? kStickGain * L.mass / (n_active * h) : 0;

  VECTOR3 v1 = s.v, ws1 = ws0;
  for (int solve = 0; solve < kMaxSolves; ++solve) {
    Mat6 A = {};
    double b[6] = {};
    AddBlock(A, 0, 0, Scaled(Identity3(), L.mass));
    AddBlock(A, 3, 3, Ig);
    AddBlock(A, 3, 3, Scaled(Dg, h));
    AddVec(b, 0, s.v * L.mass + L.force * h);
    AddVec(b, 3, Mul(Ig, ws0) + tau_s * h);
    for (int i = 0; i < set.count; ++i) {
      if (!active[i]) continue;
      const ContactPoint& p = set.p[i];
      // the point's force: -D (J u - ground) + g, with the spring taken at the end of the step
      double an = p.c + h * p.k;
      MATRIX3 nn = Outer(p.n, p.n);
      MATRIX3 D = Scaled(nn, an);
      if (slip[i] != kSlip)
        D = {D.m11 + stick * (1 - nn.m11), D.m12 - stick * nn.m12,       D.m13 - stick * nn.m13,
             D.m21 - stick * nn.m21,       D.m22 + stick * (1 - nn.m22), D.m23 - stick * nn.m23,
             D.m31 - stick * nn.m31,       D.m32 - stick * nn.m32,       D.m33 + stick * (1 - nn.m33)};
      VECTOR3 g = p.n * (-p.k * p.h) + slip_force[i];
      MATRIX3 S = Skew(p.r);
      MATRIX3 DS = Mul(D, S);
      AddBlock(A, 0, 0, Scaled(D, h));
      AddBlock(A, 0, 3, Scaled(DS, -h));
      AddBlock(A, 3, 0, Scaled(Mul(S, D), h));
      AddBlock(A, 3, 3, Scaled(Mul(S, DS), -h));
      VECTOR3 rhs = Mul(D, p.ground_v) + g;
      AddVec(b, 0, rhs * h);
      AddVec(b, 3, crossp(p.r, rhs) * h);
    }
    double x[6];
    if (!Solve6(A, b, x)) break;  // cannot happen with positive mass and inertia; keep the start
    v1 = {x[0], x[1], x[2]};
    ws1 = {x[3], x[4], x[5]};

    // points that leave the ground or pull on it drop out; sticking points that would need more
    // than Coulomb's limit slide
    bool changed = false;
    for (int i = 0; i < set.count; ++i) {
      if (!active[i]) continue;
      const ContactPoint& p = set.p[i];
      VECTOR3 rel = v1 + crossp(ws1, p.r) - p.ground_v;
      double vn = dotp(rel, p.n);
      double normal = -p.k * (p.h + h * vn) - p.c * vn;
      if (p.h + h * vn > 0 || normal < 0) {
        active[i] = false;
        changed = true;
        continue;
      }
      VECTOR3 vt = rel - p.n * vn;
      double vtl = length(vt);
      if (slip[i] == kStick) {
        VECTOR3 ft = vt * -stick;
        double fl = length(ft);
        if (fl > 0 && fl > FrictionLimit(p, ft / fl, normal)) {
          slip[i] = kSlip;
          VECTOR3 d = ft / fl;
          slip_force[i] = d * FrictionLimit(p, d, normal);
          changed = true;
        }
      } else if (slip[i] == kSlip && dotp(vt, slip_force[i]) > 0) {
        slip[i] = kStopped;
        slip_force[i] = {0, 0, 0};
        changed = true;
      } else if (slip[i] == kSlip && vtl > 1e-12) {
        // keep the sliding force against the sliding, at the present normal force
        VECTOR3 d = vt * (-1.0 / vtl);
        VECTOR3 f = d * FrictionLimit(p, d, normal);
        if (length(f - slip_force[i]) > 1e-9 * (1 + length(f))) {
          slip_force[i] = f;
          changed = true;
        }
      }
    }
    if (!changed) break;
  }

  // move with the end velocities
  ContactOutcome out;
  for (int i = 0; i < set.count; ++i) {
    const ContactPoint& p = set.p[i];
    double vn = dotp(v1 + crossp(ws1, p.r) - p.ground_v, p.n);
    double end = p.h + h * vn;
    if (active[i]) ++out.active;
    out.depth = std::max(out.depth, -end);
  }
  s.v = v1;
  s.r += v1 * h;
  s.w = TMul(s.R, ws1) * -1.0;
  s.R = Rotate(s.R, s.w, h);
  return out;
}

}  // namespace host
