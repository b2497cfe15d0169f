// The vessel operations modules call, over the host's vessel records. Each
// checks its handles where it enters: a handle the vessel does not own is
// ignored and reported once.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dynamics.h"
#include "kinematics.h"
#include "math3.h"
#include "scenario_io.h"
#include "world.h"

using host::Vessel;
using host::World;

namespace {

Vessel *Rec(OBJHANDLE h) {
  World *w = World::Current();
  return w ? w->Find(h) : nullptr;
}

template <class T>
T *Owned(const std::vector<std::unique_ptr<T>> &list, const void *h) {
  for (const auto &p : list)
    if (p.get() == h)
      return p.get();
  return nullptr;
}

std::string Fmt(double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", a);
  return buf;
}

std::string Fmt(const VECTOR3 &v) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%g %g %g", v.x, v.y, v.z);
  return buf;
}

bool Finite(const VECTOR3 &v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void Bad(const Vessel *v, const char *op, const char *what) {
  if (World *w = World::Current())
    w->Warn(v, std::string(op) + ": " + what);
}

} // namespace

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel)
    : vessel_(hVessel), flight_model_(fmodel) {}

OBJHANDLE VESSEL::GetHandle() const { return vessel_; }
const char *VESSEL::GetName() const {
  Vessel *v = Rec(vessel_);
  return v ? v->name.c_str() : "";
}
const char *VESSEL::GetClassName() const {
  Vessel *v = Rec(vessel_);
  return v ? v->class_name.c_str() : "";
}
int VESSEL::GetFlightModel() const { return flight_model_; }
int VESSEL::Version() const { return version_; }

// --- physical set-up

void VESSEL::SetSize(double size) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!(size > 0) || !std::isfinite(size))
    return Bad(v, "SetSize", "size must be positive and finite");
  if (v->config.size == size)
    return;
  v->config.size = size;
  World::Current()->ConfigChanged(*v, "SetSize", Fmt(size));
}
double VESSEL::GetSize() const {
  Vessel *v = Rec(vessel_);
  return v ? v->config.size : 0;
}
void VESSEL::SetEmptyMass(double mass) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!(mass > 0) || !std::isfinite(mass))
    return Bad(v, "SetEmptyMass", "mass must be positive and finite");
  if (v->config.empty_mass == mass)
    return;
  v->config.empty_mass = mass;
  World::Current()->ConfigChanged(*v, "SetEmptyMass", Fmt(mass));
}
double VESSEL::GetEmptyMass() const {
  Vessel *v = Rec(vessel_);
  return v ? v->config.empty_mass : 0;
}
void VESSEL::SetPMI(const VECTOR3 &pmi) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!Finite(pmi) || !(pmi.x > 0 && pmi.y > 0 && pmi.z > 0))
    return Bad(v, "SetPMI", "moments must be positive");
  VECTOR3 &c = v->config.pmi;
  if (c.x == pmi.x && c.y == pmi.y && c.z == pmi.z)
    return;
  c = pmi;
  World::Current()->ConfigChanged(*v, "SetPMI", Fmt(pmi));
}
void VESSEL::GetPMI(VECTOR3 &pmi) const {
  Vessel *v = Rec(vessel_);
  pmi = v ? v->config.pmi : VECTOR3{0, 0, 0};
}
void VESSEL::SetCW(double zp, double zn, double x, double y) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  v->config.cw_z_pos = zp;
  v->config.cw_z_neg = zn;
  v->config.cw_x = x;
  v->config.cw_y = y;
}
void VESSEL::SetRotDrag(const VECTOR3 &rd) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!Finite(rd))
    return Bad(v, "SetRotDrag", "coefficients must be finite");
  VECTOR3 &c = v->config.rot_drag;
  if (c.x == rd.x && c.y == rd.y && c.z == rd.z)
    return;
  c = rd;
  World::Current()->ConfigChanged(*v, "SetRotDrag", Fmt(rd));
}
void VESSEL::SetCrossSections(const VECTOR3 &cs) const {
  Vessel *v = Rec(vessel_);
  if (v)
    v->config.cross_sections = cs;
}
void VESSEL::SetCameraOffset(const VECTOR3 &co) const {
  Vessel *v = Rec(vessel_);
  if (v)
    v->config.camera_offset = co;
}
void VESSEL::SetTouchdownPoints(const VECTOR3 &p1, const VECTOR3 &p2,
                                const VECTOR3 &p3) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  // Only positions given: stiffness and damping follow from the mass when
  // contact is made.
  v->config.touchdown = {TOUCHDOWNVTX{p1, 0, 0, 3.0, 0.1},
                         TOUCHDOWNVTX{p2, 0, 0, 3.0, 0.1},
                         TOUCHDOWNVTX{p3, 0, 0, 3.0, 0.1}};
  v->config.touchdown_derived = true;
}
void VESSEL::SetTouchdownPoints(const TOUCHDOWNVTX *tdvtx, DWORD n) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!tdvtx || n < 3)
    return Bad(v, "SetTouchdownPoints", "at least three points are needed");
  v->config.touchdown.assign(tdvtx, tdvtx + n);
  v->config.touchdown_derived = false;
}
void VESSEL::SetSurfaceFrictionCoeff(double mu_lng, double mu_lat) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  v->config.mu_lng = mu_lng;
  v->config.mu_lat = mu_lat;
  if (v->config.touchdown_derived)
    for (auto &t : v->config.touchdown) {
      t.mu = mu_lat;
      t.mu_lng = mu_lng;
    }
}
void VESSEL::SetDockParams(const VECTOR3 &pos, const VECTOR3 &dir,
                           const VECTOR3 &rot) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  v->config.has_dock = true;
  v->config.dock_pos = pos;
  v->config.dock_dir = dir;
  v->config.dock_rot = rot;
}
void VESSEL::SetPitchMomentScale(double scale) const {
  Vessel *v = Rec(vessel_);
  if (v)
    v->config.pitch_moment_scale = scale;
}
void VESSEL::SetBankMomentScale(double scale) const {
  Vessel *v = Rec(vessel_);
  if (v)
    v->config.bank_moment_scale = scale;
}

// --- meshes

UINT VESSEL::AddMesh(const char *meshname, const VECTOR3 *ofs) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return static_cast<UINT>(-1);
  host::MeshRecord m;
  m.name = meshname ? meshname : "";
  if (ofs)
    m.offset = *ofs;
  v->config.meshes.push_back(m);
  auto idx = static_cast<UINT>(v->config.meshes.size() - 1);
  World::Current()->ConfigChanged(*v, "AddMesh", m.name);
  return idx;
}
bool VESSEL::DelMesh(UINT idx, bool retain_anim) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return false;
  if (idx >= v->config.meshes.size() || !v->config.meshes[idx].present)
    return false;
  v->config.meshes[idx].present = false;
  World::Current()->ConfigChanged(
      *v, "DelMesh", std::to_string(idx) + (retain_anim ? " retain" : ""));
  return true;
}
bool VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return false;
  if (idx >= v->config.meshes.size()) {
    Bad(v, "SetMeshVisibilityMode", "no such mesh");
    return false;
  }
  host::MeshRecord &m = v->config.meshes[idx];
  if (m.visibility == mode)
    return true;
  m.visibility = mode;
  World::Current()->ConfigChanged(*v, "SetMeshVisibilityMode",
                                  std::to_string(idx) + " " +
                                      std::to_string(mode));
  return true;
}

// --- animations

UINT VESSEL::CreateAnimation(double initial_state) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return static_cast<UINT>(-1);
  auto a = std::make_unique<host::AnimationRecord>();
  a->default_state = a->state = initial_state;
  v->config.animations.push_back(std::move(a));
  return static_cast<UINT>(v->config.animations.size() - 1);
}
ANIMATIONCOMPONENT_HANDLE
VESSEL::AddAnimationComponent(UINT anim, double state0, double state1,
                              MGROUP_TRANSFORM *trans,
                              ANIMATIONCOMPONENT_HANDLE parent) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  if (anim >= v->config.animations.size() || !trans) {
    Bad(v, "AddAnimationComponent", "no such animation, or no transform");
    return nullptr;
  }
  host::AnimationComponentRecord *par = nullptr;
  if (parent) {
    for (const auto &a : v->config.animations)
      if (!par)
        par = Owned(a->components, parent);
    if (!par) {
      Bad(v, "AddAnimationComponent", "parent component of another vessel");
      return nullptr;
    }
  }
  auto c = std::make_unique<host::AnimationComponentRecord>();
  c->state0 = state0;
  c->state1 = state1;
  c->transform = trans;
  c->parent = par;
  if (par)
    par->children.push_back(c.get());
  auto &comps = v->config.animations[anim]->components;
  comps.push_back(std::move(c));
  return comps.back().get();
}
bool VESSEL::SetAnimation(UINT anim, double state) const {
  Vessel *v = Rec(vessel_);
  if (!v || anim >= v->config.animations.size())
    return false;
  if (!std::isfinite(state)) {
    Bad(v, "SetAnimation", "state not finite");
    return false;
  }
  v->config.animations[anim]->state = state;
  return true;
}
double VESSEL::GetAnimation(UINT anim) const {
  Vessel *v = Rec(vessel_);
  return v && anim < v->config.animations.size()
             ? v->config.animations[anim]->state
             : 0;
}

// --- propellant

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass,
                                                   double efficiency) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto p = std::make_unique<host::PropellantRecord>();
  p->max_mass = std::max(0.0, maxmass);
  p->mass = mass < 0 ? p->max_mass : std::min(mass, p->max_mass);
  p->efficiency = efficiency;
  v->config.propellants.push_back(std::move(p));
  return v->config.propellants.back().get();
}
PROPELLANT_HANDLE VESSEL::GetPropellantHandleByIndex(DWORD idx) const {
  Vessel *v = Rec(vessel_);
  return v && idx < v->config.propellants.size()
             ? v->config.propellants[idx].get()
             : nullptr;
}
DWORD VESSEL::GetPropellantCount() const {
  Vessel *v = Rec(vessel_);
  return v ? static_cast<DWORD>(v->config.propellants.size()) : 0;
}
double VESSEL::GetPropellantMaxMass(PROPELLANT_HANDLE ph) const {
  Vessel *v = Rec(vessel_);
  host::PropellantRecord *p = v ? Owned(v->config.propellants, ph) : nullptr;
  return p ? p->max_mass : 0;
}
double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
  Vessel *v = Rec(vessel_);
  host::PropellantRecord *p = v ? Owned(v->config.propellants, ph) : nullptr;
  return p ? p->mass : 0;
}
void VESSEL::SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const {
  Vessel *v = Rec(vessel_);
  host::PropellantRecord *p = v ? Owned(v->config.propellants, ph) : nullptr;
  if (!p)
    return Bad(v, "SetPropellantMass",
               "not a propellant resource of this vessel");
  if (!std::isfinite(mass))
    return Bad(v, "SetPropellantMass", "mass not finite");
  p->mass = std::clamp(mass, 0.0, p->max_mass);
}
double VESSEL::GetTotalPropellantMass() const {
  Vessel *v = Rec(vessel_);
  return v ? v->PropellantMass() : 0;
}

// --- thrusters

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3 &pos, const VECTOR3 &dir,
                                       double maxth0, PROPELLANT_HANDLE hp,
                                       double isp0, double isp_ref,
                                       double p_ref) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto t = std::make_unique<host::ThrusterRecord>();
  t->pos = pos;
  t->dir = dir; // used as given: a module may pass a direction slightly off
                // unit length
  t->max_thrust = maxth0;
  t->resource = hp ? Owned(v->config.propellants, hp) : nullptr;
  if (hp && !t->resource)
    Bad(v, "CreateThruster", "propellant resource of another vessel");
  t->isp = isp0;
  t->isp_ref = isp_ref;
  t->p_ref = p_ref;
  v->config.thrusters.push_back(std::move(t));
  return v->config.thrusters.back().get();
}
DWORD VESSEL::GetThrusterCount() const {
  Vessel *v = Rec(vessel_);
  return v ? static_cast<DWORD>(v->config.thrusters.size()) : 0;
}
THRUSTER_HANDLE VESSEL::GetThrusterHandleByIndex(DWORD idx) const {
  Vessel *v = Rec(vessel_);
  return v && idx < v->config.thrusters.size() ? v->config.thrusters[idx].get()
                                               : nullptr;
}
THGROUP_HANDLE VESSEL::CreateThrusterGroup(THRUSTER_HANDLE *th, int nth,
                                           THGROUP_TYPE type) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto g = std::make_unique<host::ThrusterGroupRecord>();
  g->type = type;
  for (int i = 0; th && i < nth; ++i) {
    host::ThrusterRecord *t = Owned(v->config.thrusters, th[i]);
    if (t)
      g->thrusters.push_back(t);
    else
      Bad(v, "CreateThrusterGroup", "thruster of another vessel");
  }
  v->config.groups.push_back(std::move(g));
  return v->config.groups.back().get();
}
void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
  Vessel *v = Rec(vessel_);
  host::ThrusterRecord *t = v ? Owned(v->config.thrusters, th) : nullptr;
  if (!t)
    return Bad(v, "SetThrusterLevel", "not a thruster of this vessel");
  if (!std::isfinite(level))
    return Bad(v, "SetThrusterLevel", "level not finite: ignored");
  t->level = level;
}
double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
  Vessel *v = Rec(vessel_);
  host::ThrusterRecord *t = v ? Owned(v->config.thrusters, th) : nullptr;
  return t ? std::clamp(t->level, 0.0, 1.0) : 0;
}
void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE type, double level) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!std::isfinite(level))
    return Bad(v, "SetThrusterGroupLevel", "level not finite: ignored");
  for (const auto &g : v->config.groups)
    if (g->type == type)
      for (host::ThrusterRecord *t : g->thrusters)
        t->level = level;
}
double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE type) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return 0;
  for (const auto &g : v->config.groups) {
    if (g->type != type || g->thrusters.empty())
      continue;
    double sum = 0;
    for (const host::ThrusterRecord *t : g->thrusters)
      sum += std::clamp(t->level, 0.0, 1.0);
    return sum / static_cast<double>(g->thrusters.size());
  }
  return 0;
}
UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale,
                        SURFHANDLE tex) const {
  Vessel *v = Rec(vessel_);
  host::ThrusterRecord *t = v ? Owned(v->config.thrusters, th) : nullptr;
  if (!t) {
    Bad(v, "AddExhaust", "not a thruster of this vessel");
    return static_cast<UINT>(-1);
  }
  host::ExhaustRecord e;
  e.thruster = t;
  e.lscale = lscale;
  e.wscale = wscale;
  e.at_thruster = true;
  e.pos = t->pos;
  e.dir = -t->dir;
  e.texture = tex;
  v->config.exhausts.push_back(e);
  return static_cast<UINT>(v->config.exhausts.size() - 1);
}
UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale,
                        const VECTOR3 &pos, const VECTOR3 &dir,
                        SURFHANDLE tex) const {
  UINT idx = AddExhaust(th, lscale, wscale, tex);
  Vessel *v = Rec(vessel_);
  if (!v || idx == static_cast<UINT>(-1))
    return idx;
  host::ExhaustRecord &e = v->config.exhausts[idx];
  e.at_thruster = false;
  e.pos = pos; // the values as they stand now: the caller may reuse its vectors
  e.dir = dir;
  return idx;
}
PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th,
                                        PARTICLESTREAMSPEC *pss) const {
  Vessel *v = Rec(vessel_);
  host::ThrusterRecord *t = v ? Owned(v->config.thrusters, th) : nullptr;
  if (!t) {
    Bad(v, "AddExhaustStream", "not a thruster of this vessel");
    return nullptr;
  }
  auto s = std::make_unique<host::ParticleStreamRecord>();
  if (pss) {
    s->spec = *pss;
    s->has_spec = true;
  }
  s->thruster = t;
  s->pos = t->pos;
  s->dir = -t->dir;
  v->config.streams.push_back(std::move(s));
  return v->config.streams.back().get();
}
PSTREAM_HANDLE VESSEL::AddParticleStream(PARTICLESTREAMSPEC *pss,
                                         const VECTOR3 &pos, const VECTOR3 &dir,
                                         double *lvl) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto s = std::make_unique<host::ParticleStreamRecord>();
  if (pss) {
    s->spec = *pss;
    s->has_spec = true;
  }
  s->pos = pos;
  s->dir = dir;
  s->level = lvl;
  v->config.streams.push_back(std::move(s));
  return v->config.streams.back().get();
}

// --- aerodynamics

AIRFOILHANDLE VESSEL::CreateAirfoil3(AIRFOIL_ORIENTATION align,
                                     const VECTOR3 &ref, AirfoilCoeffFuncEx cf,
                                     void *context, double c, double S,
                                     double A) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto a = std::make_unique<host::AirfoilRecord>();
  a->align = align;
  a->ref = ref;
  a->cf = cf;
  a->context = context;
  a->chord = c;
  a->area = S;
  a->aspect = A;
  v->config.airfoils.push_back(std::move(a));
  return v->config.airfoils.back().get();
}
bool VESSEL::EditAirfoil(AIRFOILHANDLE h, DWORD flag, const VECTOR3 &ref,
                         AirfoilCoeffFuncEx cf, double c, double S,
                         double A) const {
  Vessel *v = Rec(vessel_);
  host::AirfoilRecord *a = v ? Owned(v->config.airfoils, h) : nullptr;
  if (!a) {
    Bad(v, "EditAirfoil", "not an airfoil of this vessel");
    return false;
  }
  host::AirfoilRecord before = *a;
  if (flag & AIRFOIL_REF)
    a->ref = ref;
  if ((flag & AIRFOIL_FUNC) && cf)
    a->cf = cf;
  if (flag & AIRFOIL_CHORD)
    a->chord = c;
  if (flag & AIRFOIL_AREA)
    a->area = S;
  if (flag & AIRFOIL_ASPECT)
    a->aspect = A;
  if (a->ref.x != before.ref.x || a->ref.y != before.ref.y ||
      a->ref.z != before.ref.z || a->cf != before.cf ||
      a->chord != before.chord || a->area != before.area ||
      a->aspect != before.aspect) {
    std::size_t idx = 0;
    while (v->config.airfoils[idx].get() != a)
      ++idx;
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "%zu ref %g %g %g chord %g area %g aspect %g", idx, a->ref.x,
                  a->ref.y, a->ref.z, a->chord, a->area, a->aspect);
    World::Current()->ConfigChanged(*v, "EditAirfoil", buf);
  }
  return true;
}

// --- attachments

ATTACHMENTHANDLE VESSEL::CreateAttachment(bool toparent, const VECTOR3 &pos,
                                          const VECTOR3 &dir,
                                          const VECTOR3 &rot, const char *id,
                                          bool loose) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  auto a = std::make_unique<host::AttachmentRecord>();
  a->owner = v;
  a->toparent = toparent;
  a->pos = pos;
  a->dir = dir;
  a->rot = rot;
  a->id = id ? std::string(id, strnlen(id, 8)) : "";
  a->loose = loose;
  v->config.attachments.push_back(std::move(a));
  return v->config.attachments.back().get();
}
DWORD VESSEL::AttachmentCount(bool toparent) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return 0;
  DWORD n = 0;
  for (const auto &a : v->config.attachments)
    n += a->toparent == toparent;
  return n;
}
ATTACHMENTHANDLE VESSEL::GetAttachmentHandle(bool toparent, DWORD i) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return nullptr;
  for (const auto &a : v->config.attachments)
    if (a->toparent == toparent && i-- == 0)
      return a.get();
  return nullptr;
}
const char *VESSEL::GetAttachmentId(ATTACHMENTHANDLE h) const {
  Vessel *v = Rec(vessel_);
  host::AttachmentRecord *a = v ? Owned(v->config.attachments, h) : nullptr;
  return a ? a->id.c_str() : "";
}
void VESSEL::GetAttachmentParams(ATTACHMENTHANDLE h, VECTOR3 &pos, VECTOR3 &dir,
                                 VECTOR3 &rot) const {
  Vessel *v = Rec(vessel_);
  host::AttachmentRecord *a = v ? Owned(v->config.attachments, h) : nullptr;
  if (!a) {
    pos = dir = rot = {0, 0, 0};
    return Bad(v, "GetAttachmentParams",
               "not an attachment point of this vessel");
  }
  pos = a->pos;
  dir = a->dir;
  rot = a->rot;
}
OBJHANDLE VESSEL::GetAttachmentStatus(ATTACHMENTHANDLE h) const {
  Vessel *v = Rec(vessel_);
  host::AttachmentRecord *a = v ? Owned(v->config.attachments, h) : nullptr;
  if (!a || !a->peer)
    return nullptr;
  return World::Current()->Handle(*a->peer->owner);
}
bool VESSEL::AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment,
                         ATTACHMENTHANDLE child_attachment) const {
  Vessel *v = Rec(vessel_);
  Vessel *c = Rec(child);
  host::AttachmentRecord *pp =
      v ? Owned(v->config.attachments, attachment) : nullptr;
  host::AttachmentRecord *cp =
      c ? Owned(c->config.attachments, child_attachment) : nullptr;
  if (!pp || !cp) {
    Bad(v, "AttachChild", "unknown child or attachment point");
    return false;
  }
  return World::Current()->Attach(*v, *pp, *c, *cp);
}
bool VESSEL::DetachChild(ATTACHMENTHANDLE attachment, double vel) const {
  Vessel *v = Rec(vessel_);
  host::AttachmentRecord *pp =
      v ? Owned(v->config.attachments, attachment) : nullptr;
  if (!pp) {
    Bad(v, "DetachChild", "not an attachment point of this vessel");
    return false;
  }
  return World::Current()->Detach(*v, *pp, vel);
}

// --- state

void VESSEL::GetStatus(VESSELSTATUS &s) const {
  s = VESSELSTATUS{};
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  const host::Kinematics &k = v->state.kin;
  s.rpos = k.rpos;
  s.rvel = k.rvel;
  s.vrot = k.omega;
  s.arot = host::AnglesFromMatrix(k.R);
  if (!v->config.propellants.empty()) {
    const host::PropellantRecord &p = *v->config.propellants.front();
    s.fuel = p.max_mass > 0 ? p.mass / p.max_mass : 0;
  }
  s.eng_main = GetThrusterGroupLevel(THGROUP_MAIN);
  s.eng_hovr = GetThrusterGroupLevel(THGROUP_HOVER);
  s.rbody = k.ref ? World::Current()->BodyHandle(*k.ref) : nullptr;
  s.status = v->state.landed ? 1 : 0;
}
double VESSEL::GetMass() const {
  Vessel *v = Rec(vessel_);
  return v ? v->Mass() : 0;
}
void VESSEL::GetGlobalPos(VECTOR3 &pos) const {
  Vessel *v = Rec(vessel_);
  pos = v ? host::GlobalPos(*v) : VECTOR3{0, 0, 0};
}
void VESSEL::GetGlobalVel(VECTOR3 &vel) const {
  Vessel *v = Rec(vessel_);
  vel = v ? host::GlobalVel(*v) : VECTOR3{0, 0, 0};
}
void VESSEL::GetRotationMatrix(MATRIX3 &R) const {
  Vessel *v = Rec(vessel_);
  R = v ? v->state.kin.R : host::Identity3();
}
void VESSEL::Local2Global(const VECTOR3 &local, VECTOR3 &global) const {
  Vessel *v = Rec(vessel_);
  global = v ? host::GlobalPos(*v) + host::Mul(v->state.kin.R, local) : local;
}
void VESSEL::Global2Local(const VECTOR3 &global, VECTOR3 &local) const {
  Vessel *v = Rec(vessel_);
  local = v ? host::TMul(v->state.kin.R, global - host::GlobalPos(*v)) : global;
}
void VESSEL::Local2Rel(const VECTOR3 &local, VECTOR3 &rel) const {
  Vessel *v = Rec(vessel_);
  rel = v ? v->state.kin.rpos + host::Mul(v->state.kin.R, local) : local;
}
void VESSEL::GlobalRot(const VECTOR3 &local, VECTOR3 &global) const {
  Vessel *v = Rec(vessel_);
  global = v ? host::Mul(v->state.kin.R, local) : local;
}
void VESSEL::GetAngularVel(VECTOR3 &avel) const {
  Vessel *v = Rec(vessel_);
  avel = v ? v->state.kin.omega : VECTOR3{0, 0, 0};
}
void VESSEL::SetAngularVel(const VECTOR3 &avel) const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return;
  if (!Finite(avel))
    return Bad(v, "SetAngularVel", "rate not finite: ignored");
  if (v->Parent() || v->state.landed)
    return; // attached and landed vessels turn with what holds them
  v->state.kin.omega = avel;
  host::UpdateAttachedPoses(*World::Current());
}
OBJHANDLE VESSEL::GetGravityRef() const {
  Vessel *v = Rec(vessel_);
  return v && v->state.kin.ref ? World::Current()->BodyHandle(*v->state.kin.ref)
                               : nullptr;
}
OBJHANDLE VESSEL::GetSurfaceRef() const { return GetGravityRef(); }
double VESSEL::GetAltitude(AltitudeMode, int *reslvl) const {
  // Bodies have no terrain: the ground is the mean radius, so both modes agree.
  if (reslvl)
    *reslvl = 0;
  Vessel *v = Rec(vessel_);
  return v ? host::Altitude(*v) : 0;
}
double VESSEL::GetAirspeed() const {
  Vessel *v = Rec(vessel_);
  return v ? length(host::GroundVelocity(*v)) : 0;
}
bool VESSEL::GetAirspeedVector(REFFRAME frame, VECTOR3 &out) const {
  return GetGroundspeedVector(frame, out);
}
bool VESSEL::GetGroundspeedVector(REFFRAME frame, VECTOR3 &out) const {
  Vessel *v = Rec(vessel_);
  out = {0, 0, 0};
  if (!v)
    return false;
  VECTOR3 g = host::GroundVelocity(*v);
  switch (frame) {
  case FRAME_LOCAL:
    out = host::TMul(v->state.kin.R, g);
    break;
  case FRAME_HORIZON:
    out = host::TMul(host::HorizonFrame(*v), g);
    break;
  default:
    out = g;
    break;
  }
  return true;
}
double VESSEL::GetAtmDensity() const {
  Vessel *v = Rec(vessel_);
  return v ? host::AirAt(*v).density : 0;
}
double VESSEL::GetDynPressure() const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return 0;
  double s = length(host::GroundVelocity(*v));
  return 0.5 * host::AirAt(*v).density * s * s;
}
double VESSEL::GetMachNumber() const {
  Vessel *v = Rec(vessel_);
  if (!v)
    return 0;
  double a = host::AirAt(*v).speed_of_sound;
  return a > 0 ? length(host::GroundVelocity(*v)) / a : 0;
}
double VESSEL::GetDrag() const {
  Vessel *v = Rec(vessel_);
  return v ? v->state.drag : 0;
}
bool VESSEL::GetWeightVector(VECTOR3 &G) const {
  Vessel *v = Rec(vessel_);
  G = {0, 0, 0};
  if (!v || !v->state.kin.ref)
    return false;
  G = host::TMul(v->state.kin.R,
                 host::BodyGravity(*v->state.kin.ref, v->state.kin.rpos) *
                     v->Mass());
  return true;
}
double VESSEL::GetPitch() const {
  Vessel *v = Rec(vessel_);
  return v ? host::Pitch(*v) : 0;
}
double VESSEL::GetBank() const {
  Vessel *v = Rec(vessel_);
  return v ? host::Bank(*v) : 0;
}
bool VESSEL::GroundContact() const {
  Vessel *v = Rec(vessel_);
  return v && v->state.ground_contact;
}

// --- navigation modes

bool VESSEL::ActivateNavmode(int mode) const {
  Vessel *v = Rec(vessel_);
  if (!v || mode <= 0 || mode >= 8)
    return false;
  if (v->state.navmode[mode])
    return true;
  v->state.navmode[mode] = true;
  World *w = World::Current();
  host::Event e = w->MakeEvent("navmode", v);
  e.Add("mode", static_cast<double>(mode)).Add("on", true);
  w->Events().Emit(std::move(e));
  if (VESSEL2 *cb = v->Callbacks())
    cb->clbkNavMode(mode, true);
  return true;
}
bool VESSEL::DeactivateNavmode(int mode) const {
  Vessel *v = Rec(vessel_);
  if (!v || mode <= 0 || mode >= 8)
    return false;
  if (!v->state.navmode[mode])
    return true;
  v->state.navmode[mode] = false;
  World *w = World::Current();
  host::Event e = w->MakeEvent("navmode", v);
  e.Add("mode", static_cast<double>(mode)).Add("on", false);
  w->Events().Emit(std::move(e));
  if (VESSEL2 *cb = v->Callbacks())
    cb->clbkNavMode(mode, false);
  return true;
}
bool VESSEL::GetNavmodeState(int mode) const {
  Vessel *v = Rec(vessel_);
  return v && mode > 0 && mode < 8 && v->state.navmode[mode];
}

// --- scenario

bool VESSEL::ParseScenarioLineEx(char *line, void *status) const {
  if (!line || !status)
    return false;
  auto *s = static_cast<host::StandardLines *>(status);
  bool had_error = !s->error.empty();
  if (host::ParseStandardLine(line, *s))
    return true;
  // Keep the first line the host cannot use, with where it stands.
  if (!had_error) {
    if (s->error.empty())
      s->error =
          std::string("expected a standard vessel line, got '") + line + "'";
    host::ScenarioBlockReader *r = host::ActiveReader();
    s->error_line = r ? r->line : 0;
  }
  return false;
}
