#include "world.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "class_config.h"
#include "dynamics.h"
#include "hud.h"
#include "kinematics.h"
#include "math3.h"
#include "module_loader.h"
#include "native_vessel.h"

namespace host {

namespace {

World *g_current = nullptr;

// Vessel handles carry a generation so a stale handle finds nothing; body
// handles live in a separate range.
constexpr std::uint64_t kBodyTag = 1ull << 62;

} // namespace

World *World::Current() { return g_current; }

World::World(WorldOptions options)
    : options_(std::move(options)),
      loader_(std::make_unique<ModuleLoader>(options_.config_dir,
                                             options_.module_dir)),
      bodies_(SolarSystem()), mjd_(options_.mjd), mjd_at_zero_(options_.mjd) {
  previous_ = g_current;
  g_current = this;
  UpdateBodies(bodies_, mjd_);
}

World::~World() {
  // Modules' objects go first, then their libraries.
  for (auto &v : slots_) {
    if (!v)
      continue;
    if (v->iface) {
      if (v->module)
        v->module->ovcExit(v->iface);
      else
        DestroyNativeVessel(v->iface);
    }
    v->iface = nullptr;
  }
  slots_.clear();
  loader_.reset();
  if (g_current == this)
    g_current = previous_;
}

Body *World::FindBody(const std::string &name) {
  for (Body &b : bodies_)
    if (b.name == name)
      return &b;
  return nullptr;
}

OBJHANDLE World::Handle(const Vessel &v) const {
  return reinterpret_cast<OBJHANDLE>(
      (static_cast<std::uint64_t>(v.generation) << 32) | (v.slot + 1));
}

OBJHANDLE World::BodyHandle(const Body &b) const {
  return reinterpret_cast<OBJHANDLE>(
      kBodyTag | static_cast<std::uint64_t>(&b - bodies_.data() + 1));
}

Body *World::FindBodyByHandle(OBJHANDLE h) {
  auto raw = reinterpret_cast<std::uint64_t>(h);
  if (!(raw & kBodyTag))
    return nullptr;
  std::uint64_t i = (raw & ~kBodyTag) - 1;
  return i < bodies_.size() ? &bodies_[i] : nullptr;
}

Vessel *World::Find(OBJHANDLE h) {
  auto raw = reinterpret_cast<std::uint64_t>(h);
  if (!raw || (raw & kBodyTag))
    return nullptr;
  std::uint64_t slot = (raw & 0xffffffffu) - 1;
  auto gen = static_cast<unsigned>(raw >> 32);
  if (slot >= slots_.size() || !slots_[slot])
    return nullptr;
  Vessel *v = slots_[slot].get();
  return v->alive && v->generation == gen ? v : nullptr;
}

Vessel *World::FindByName(const std::string &name) {
  for (unsigned s : order_)
    if (slots_[s]->name == name)
      return slots_[s].get();
  return nullptr;
}

std::vector<Vessel *> World::Vessels() {
  std::vector<Vessel *> out;
  out.reserve(order_.size());
  for (unsigned s : order_)
    out.push_back(slots_[s].get());
  return out;
}

std::size_t World::VesselCount() const { return order_.size(); }

Vessel *World::VesselByIndex(std::size_t i) {
  return i < order_.size() ? slots_[order_[i]].get() : nullptr;
}

Event World::MakeEvent(const std::string &event, const Vessel *v) const {
  Event e;
  e.t = simt_;
  e.event = event;
  if (v) {
    e.vessel = v->name;
    const Body *b = v->state.kin.ref;
    if (b && b->soi > 0) {
      e.near_body = true;
      e.alt = Altitude(*v);
      e.airspeed = length(GroundVelocity(*v));
    }
  }
  return e;
}

void World::Warn(const Vessel *v, const std::string &message) {
  if (!warned_.insert((v ? v->name : std::string()) + '\n' + message).second)
    return;
  Event e = MakeEvent("warning", v);
  e.Add("message", message);
  events_.Emit(std::move(e));
}

void World::ConfigChanged(const Vessel &v, const char *op,
                          const std::string &args) {
  if (!v.configured)
    return;
  Event e = MakeEvent("config", &v);
  e.Add("op", std::string(op)).Add("args", args);
  events_.Emit(std::move(e));
}

Vessel &World::Instantiate(const std::string &wanted,
                           const std::string &class_name,
                           const std::string &created_by) {
  // Resolve the class first: an unknown class creates nothing.
  const ClassConfig &cfg = loader_->Class(class_name);
  ModuleRecord *module = loader_->ModuleFor(class_name);

  std::string name = wanted;
  for (int k = 2; FindByName(name); ++k)
    name = wanted + "_" + std::to_string(k);

  unsigned slot = 0;
  while (slot < slots_.size() && slots_[slot])
    ++slot;
  if (slot == slots_.size())
    slots_.emplace_back();
  slots_[slot] = std::make_unique<Vessel>();
  Vessel &v = *slots_[slot];
  v.name = name;
  v.class_name = class_name;
  v.module = module;
  v.slot = slot;
  v.generation = next_generation_++;
  v.created_by = created_by;
  v.state.kin.ref = FindBody("Sun");
  order_.push_back(slot);

  OBJHANDLE h = Handle(v);
  v.iface = module ? module->ovcInit(h, 1) : CreateNativeVessel(h, cfg);
  if (!v.iface || !v.Callbacks()) {
    order_.pop_back();
    slots_[slot].reset();
    throw HostError(kExitUnavailable, "class " + class_name + ": module " +
                                          (module ? module->path : "(host)") +
                                          " created no vessel object");
  }
  v.Callbacks()->clbkSetClassCaps(nullptr);
  v.configured = true;
  return v;
}

void World::ApplyStatus(Vessel &v, const VESSELSTATUS &s) {
  Body *b = FindBodyByHandle(s.rbody);
  if (!b)
    b = v.state.kin.ref;
  Place(v, *b, s.rpos, s.rvel, MatrixFromAngles(s.arot), s.vrot);
  if (!v.config.propellants.empty() && std::isfinite(s.fuel)) {
    PropellantRecord &p = *v.config.propellants.front();
    p.mass = std::clamp(s.fuel, 0.0, 1.0) * p.max_mass;
  }
  if (std::isfinite(s.eng_main))
    v.iface->SetThrusterGroupLevel(THGROUP_MAIN, s.eng_main);
}

Vessel &World::CreateVessel(const std::string &name,
                            const std::string &class_name,
                            const VESSELSTATUS &status,
                            const std::string &created_by) {
  Vessel &v = Instantiate(name, class_name, created_by);
  ApplyStatus(v, status);
  if (status.status == 1) {
    double lon, lat, heading;
    SurfaceCoordinates(v, lon, lat, heading);
    PlaceLanded(v, lon, lat, heading);
  }
  Event e = MakeEvent("created", &v);
  e.Add("class", class_name).Add("by", created_by);
  events_.Emit(std::move(e));
  return v;
}

void World::FinishCreation() {
  // Post-creation may itself create vessels; run until none is waiting.
  for (bool again = true; again;) {
    again = false;
    for (std::size_t i = 0; i < order_.size(); ++i) {
      Vessel &v = *slots_[order_[i]];
      if (!v.alive || !v.post_creation_pending)
        continue;
      v.post_creation_pending = false;
      acting_ = Handle(v);
      v.Callbacks()->clbkPostCreation();
      acting_ = nullptr;
      again = true;
    }
  }
}

void World::Unlink(Vessel &v) {
  for (auto &a : v.config.attachments) {
    if (!a->peer)
      continue;
    Vessel *other = a->peer->owner;
    Event e = MakeEvent("detached", a->toparent ? &v : other);
    e.Add("parent", a->toparent ? other->name : v.name);
    a->peer->peer = nullptr;
    a->peer = nullptr;
    events_.Emit(std::move(e));
  }
}

bool World::DeleteVessel(Vessel &v, const std::string &by) {
  if (!v.alive)
    return false;
  Unlink(v);
  Event e = MakeEvent("deleted", &v);
  e.Add("by", by);
  v.alive = false;
  order_.erase(std::find(order_.begin(), order_.end(), v.slot));
  events_.Emit(std::move(e));
  if (Find(focus_) == nullptr)
    SetFocus(order_.empty() ? nullptr : slots_[order_.front()].get());
  if (!in_step_)
    Prune();
  return true;
}

void World::Prune() {
  for (auto &v : slots_) {
    if (!v || v->alive)
      continue;
    if (v->iface) {
      if (v->module)
        v->module->ovcExit(v->iface);
      else
        DestroyNativeVessel(v->iface);
    }
    v.reset();
  }
}

void World::SetFocus(Vessel *v) {
  OBJHANDLE h = v ? Handle(*v) : nullptr;
  if (h == focus_)
    return;
  Vessel *old = Find(focus_);
  focus_ = h;
  if (old && old->Callbacks())
    old->Callbacks()->clbkFocusChanged(false, h, old ? Handle(*old) : nullptr);
  if (v && v->Callbacks())
    v->Callbacks()->clbkFocusChanged(true, h, old ? Handle(*old) : nullptr);
  if (v)
    events_.Emit(MakeEvent("focus", v));
}

int World::PressKey(Vessel &v, int key, const std::vector<int> &modifiers,
                    const std::string &label) {
  std::array<char, 256> kstate = held_;
  for (int m : modifiers)
    if (m >= 0 && m < 256)
      kstate[m] = static_cast<char>(0x80);
  if (key >= 0 && key < 256)
    kstate[key] = static_cast<char>(0x80);
  Event e = MakeEvent("key", &v);
  char code[16];
  std::snprintf(code, sizeof code, "0x%02X", key);
  e.Add("key", label.empty() ? std::string(code) : label);
  events_.Emit(std::move(e));
  acting_ = Handle(v);
  int taken = v.Callbacks()->clbkConsumeBufferedKey(static_cast<DWORD>(key),
                                                    true, kstate.data());
  if (v.alive) {
    if (key >= 0 && key < 256)
      kstate[key] = 0;
    v.Callbacks()->clbkConsumeBufferedKey(static_cast<DWORD>(key), false,
                                          kstate.data());
  }
  acting_ = nullptr;
  Prune();
  return taken;
}

void World::HoldKeys(const std::vector<int> &keys, double until) {
  for (int k : keys) {
    if (k < 0 || k >= 256)
      continue;
    held_[k] = static_cast<char>(0x80);
    held_until_.emplace_back(k, until);
  }
}

std::vector<HudText> World::DrawHud(Vessel &v, int width, int height) {
  RecordingSketchpad skp;
  if (v.iface && v.iface->Version() >= 3) {
    HUDPAINTSPEC hps{width,      height,        width / 2,
                     height / 2, height / 30.0, height / 32};
    static_cast<VESSEL3 *>(v.iface)->clbkDrawHUD(0, &hps, &skp);
  }
  return skp.Texts();
}

bool World::Attach(Vessel &parent, AttachmentRecord &pp, Vessel &child,
                   AttachmentRecord &cp) {
  if (&parent == &child || pp.owner != &parent || cp.owner != &child ||
      pp.toparent || !cp.toparent)
    return false;
  if (pp.peer || cp.peer)
    return false;
  // no cycles: the child must not be an ancestor of the parent
  for (Vessel *a = &parent; a; a = a->Parent())
    if (a == &child)
      return false;
  pp.peer = &cp;
  cp.peer = &pp;
  child.state.landed = false;
  UpdateAttachedPoses(*this);
  Event e = MakeEvent("attached", &child);
  e.Add("parent", parent.name);
  events_.Emit(std::move(e));
  return true;
}

bool World::Detach(Vessel &parent, AttachmentRecord &pp, double vel) {
  if (pp.owner != &parent || pp.toparent || !pp.peer)
    return false;
  AttachmentRecord &cp = *pp.peer;
  Vessel &child = *cp.owner;
  pp.peer = nullptr;
  cp.peer = nullptr;
  if (std::isfinite(vel) && vel != 0)
    child.state.kin.rvel += Mul(parent.state.kin.R, unit(pp.dir)) * vel;
  Event e = MakeEvent("detached", &child);
  e.Add("parent", parent.name);
  events_.Emit(std::move(e));
  return true;
}

void World::Place(Vessel &v, Body &ref, const VECTOR3 &rpos,
                  const VECTOR3 &rvel, const MATRIX3 &R, const VECTOR3 &omega) {
  Kinematics &k = v.state.kin;
  k.ref = &ref;
  k.rpos = rpos;
  k.rvel = rvel;
  k.R = Orthonormalise(R);
  k.omega = omega;
  v.state.landed = false;
  v.state.ground_contact = false;
  UpdateAttachedPoses(*this);
}

void World::Step(double dt) {
  in_step_ = true;
  simdt_ = dt;
  FinishCreation();

  // direct keys: the held keyboard state goes to the focus vessel every step
  for (auto it = held_until_.begin(); it != held_until_.end();) {
    if (it->second <= simt_) {
      held_[it->first] = 0;
      it = held_until_.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto &[k, until] : held_until_)
    held_[k] = static_cast<char>(0x80);
  if (Vessel *f = Find(focus_)) {
    std::array<char, 256> kstate = held_;
    acting_ = focus_;
    f->Callbacks()->clbkConsumeDirectKey(kstate.data());
  }

  // vessels created during the step wait for their post-creation before their
  // first step
  step_order_.assign(order_.begin(), order_.end());
  for (unsigned s : step_order_) {
    Vessel *v = slots_[s].get();
    if (!v || !v->alive || v->post_creation_pending)
      continue;
    acting_ = Handle(*v);
    v->Callbacks()->clbkPreStep(simt_, dt, mjd_);
  }
  acting_ = nullptr;

  // the bodies move first, so landed vessels stand on the surface where it is
  // at the step's end
  simt_ += dt;
  mjd_ = mjd_at_zero_ + simt_ / 86400.0;
  UpdateBodies(bodies_, mjd_);
  StepDynamics(*this, dt);

  for (unsigned s : step_order_) {
    Vessel *v = slots_[s].get();
    if (!v || !v->alive || v->post_creation_pending)
      continue;
    acting_ = Handle(*v);
    v->Callbacks()->clbkPostStep(simt_, dt, mjd_);
  }
  acting_ = nullptr;
  in_step_ = false;
  Prune();
}

} // namespace host
