// The host functions modules call by name.
#include "oapi.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "kinematics.h"
#include "world.h"

using host::Vessel;
using host::World;

void InitLib(HINSTANCE) {
  // A module's per-library set-up with the host: nothing to prepare in this
  // host.
}

int Date2Int(const char *date) {
  static const char *const kMonths[] = {"Jan", "Feb", "Mar", "Apr",
                                        "May", "Jun", "Jul", "Aug",
                                        "Sep", "Oct", "Nov", "Dec"};
  if (!date)
    return 0;
  char mon[4] = {};
  int day = 0, year = 0;
  if (std::sscanf(date, "%3s %d %d", mon, &day, &year) != 3)
    return 0;
  for (int m = 0; m < 12; ++m)
    if (std::strcmp(mon, kMonths[m]) == 0 && day >= 1 && day <= 31 &&
        year > 0 && year < 100000)
      return year * 10000 + (m + 1) * 100 + day;
  return 0;
}

double oapiGetSimTime() {
  World *w = World::Current();
  return w ? w->SimTime() : 0;
}
double oapiGetSimStep() {
  World *w = World::Current();
  return w ? w->SimStep() : 0;
}
double oapiGetSimMJD() {
  World *w = World::Current();
  return w ? w->Mjd() : 0;
}

OBJHANDLE oapiGetObjectByName(const char *name) {
  World *w = World::Current();
  if (!w || !name)
    return nullptr;
  if (Vessel *v = w->FindByName(name))
    return w->Handle(*v);
  if (host::Body *b = w->FindBody(name))
    return w->BodyHandle(*b);
  return nullptr;
}

void oapiGetGlobalPos(OBJHANDLE obj, VECTOR3 *pos) {
  World *w = World::Current();
  if (!pos)
    return;
  *pos = {0, 0, 0};
  if (!w)
    return;
  if (Vessel *v = w->Find(obj))
    *pos = host::GlobalPos(*v);
  else if (host::Body *b = w->FindBodyByHandle(obj))
    *pos = b->pos;
}

void oapiGetGlobalVel(OBJHANDLE obj, VECTOR3 *vel) {
  World *w = World::Current();
  if (!vel)
    return;
  *vel = {0, 0, 0};
  if (!w)
    return;
  if (Vessel *v = w->Find(obj))
    *vel = host::GlobalVel(*v);
  else if (host::Body *b = w->FindBodyByHandle(obj))
    *vel = b->vel;
}

OBJHANDLE oapiGetVesselByName(const char *name) {
  World *w = World::Current();
  Vessel *v = w && name ? w->FindByName(name) : nullptr;
  return v ? w->Handle(*v) : nullptr;
}

DWORD oapiGetVesselCount() {
  World *w = World::Current();
  return w ? static_cast<DWORD>(w->VesselCount()) : 0;
}

OBJHANDLE oapiGetVesselByIndex(int index) {
  World *w = World::Current();
  Vessel *v = w && index >= 0
                  ? w->VesselByIndex(static_cast<std::size_t>(index))
                  : nullptr;
  return v ? w->Handle(*v) : nullptr;
}

VESSEL *oapiGetVesselInterface(OBJHANDLE h) {
  World *w = World::Current();
  Vessel *v = w ? w->Find(h) : nullptr;
  return v ? v->iface : nullptr;
}

OBJHANDLE oapiCreateVessel(const char *name, const char *classname,
                           const VESSELSTATUS &status) {
  World *w = World::Current();
  if (!w || !name || !classname)
    return nullptr;
  Vessel *by = w->Acting();
  try {
    Vessel &v = w->CreateVessel(name, classname, status, by ? by->name : "");
    return w->Handle(v);
  } catch (const std::exception &e) {
    // Nothing throws into a module: the failure is reported and the caller gets
    // no vessel.
    w->Warn(by, std::string("oapiCreateVessel ") + name + ": " + e.what());
    return nullptr;
  }
}

bool oapiDeleteVessel(OBJHANDLE vessel, OBJHANDLE alt_camera_target) {
  World *w = World::Current();
  Vessel *v = w ? w->Find(vessel) : nullptr;
  if (!v)
    return false;
  bool was_focus = w->Focus() == v;
  Vessel *by = w->Acting();
  bool done = w->DeleteVessel(*v, by && by != v ? by->name : "");
  if (done && was_focus)
    if (Vessel *alt = w->Find(alt_camera_target))
      w->SetFocus(alt);
  return done;
}

OBJHANDLE oapiSetFocusObject(OBJHANDLE vessel) {
  World *w = World::Current();
  if (!w)
    return nullptr;
  Vessel *old = w->Focus();
  OBJHANDLE prev = old ? w->Handle(*old) : nullptr;
  if (Vessel *v = w->Find(vessel))
    w->SetFocus(v);
  return prev;
}

OBJHANDLE oapiGetFocusObject() {
  World *w = World::Current();
  Vessel *f = w ? w->Focus() : nullptr;
  return f ? w->Handle(*f) : nullptr;
}

void oapiGetEngineStatus(OBJHANDLE vessel, ENGINESTATUS *status) {
  if (!status)
    return;
  *status = ENGINESTATUS{0, 0, 0};
  World *w = World::Current();
  Vessel *v = w ? w->Find(vessel) : nullptr;
  if (!v)
    return;
  status->main = v->iface->GetThrusterGroupLevel(THGROUP_MAIN) -
                 v->iface->GetThrusterGroupLevel(THGROUP_RETRO);
  status->hovr = v->iface->GetThrusterGroupLevel(THGROUP_HOVER);
}

SURFHANDLE oapiRegisterExhaustTexture(const char *name) {
  // One handle per texture name for the life of the process.
  static std::map<std::string, std::unique_ptr<std::string>> textures;
  std::string key = name ? name : "";
  auto &slot = textures[key];
  if (!slot)
    slot = std::make_unique<std::string>(key);
  return slot.get();
}

double oapiGetInducedDrag(double cl, double A, double e) {
  double d = PI * A * e;
  return d > 0 ? cl * cl / d : 0;
}

double oapiGetWaveDrag(double M, double M1, double M2, double M3, double cmax) {
  if (!(M > M1))
    return 0;
  if (M < M2) {
    double t = (M - M1) / (M2 - M1);
    return cmax * t * t * (3 - 2 * t);
  }
  if (M <= M3 || M3 <= 1)
    return cmax;
  return cmax * std::sqrt((M3 * M3 - 1) / (M * M - 1));
}
