// The base behaviour of the callback classes: what a vessel does where its
// module says nothing.
#include <cmath>

#include "dynamics.h"
#include "math3.h"
#include "oapi.h"
#include "scenario_io.h"
#include "world.h"

namespace host {

namespace {

StandardLines CurrentLines(World &w, Vessel &v) {
  StandardLines s;
  const Kinematics &k = v.state.kin;
  s.body = k.ref ? k.ref->name : "Sun";
  s.landed = v.state.landed;
  if (s.landed) {
    double lon, lat, heading;
    SurfaceCoordinates(v, lon, lat, heading);
    s.has_pos = true;
    s.longitude = lon * DEG;
    s.latitude = lat * DEG;
    s.heading = heading * DEG;
  } else {
    s.has_rpos = s.has_rvel = s.has_arot = s.has_vrot = true;
    s.rpos = k.rpos;
    s.rvel = k.rvel;
    s.arot = AnglesFromMatrix(k.R) * DEG;
    s.vrot = k.omega * DEG;
  }
  for (std::size_t i = 0; i < v.config.propellants.size(); ++i) {
    const PropellantRecord &p = *v.config.propellants[i];
    s.prplevel[static_cast<int>(i)] = p.max_mass > 0 ? p.mass / p.max_mass : 0;
  }
  for (std::size_t i = 0; i < v.config.thrusters.size(); ++i)
    if (v.config.thrusters[i]->level != 0)
      s.thlevel[static_cast<int>(i)] = v.config.thrusters[i]->level;
  for (int m = 1; m < 8; ++m)
    if (v.state.navmode[m])
      s.navmodes.push_back(m);
  int ci = 0;
  for (const auto &a : v.config.attachments) {
    if (!a->toparent)
      continue;
    if (a->peer) {
      Vessel *parent = a->peer->owner;
      int pi = 0;
      for (const auto &b : parent->config.attachments) {
        if (b->toparent)
          continue;
        if (b.get() == a->peer)
          break;
        ++pi;
      }
      s.attached = true;
      s.attach_child_point = ci;
      s.attach_parent_point = pi;
      s.attach_parent = parent->name;
      break;
    }
    ++ci;
  }
  (void)w;
  return s;
}

} // namespace

} // namespace host

using host::World;

VESSEL2::VESSEL2(OBJHANDLE hVessel, int fmodel) : VESSEL(hVessel, fmodel) {
  version_ = 2;
}
VESSEL2::~VESSEL2() = default;

void VESSEL2::clbkSetClassCaps(FILEHANDLE) {}

void VESSEL2::clbkSaveState(FILEHANDLE scn) {
  World *w = World::Current();
  host::Vessel *v = w ? w->Find(GetHandle()) : nullptr;
  if (!v)
    return;
  for (const auto &[key, value] :
       host::FormatStandardLines(host::CurrentLines(*w, *v)))
    oapiWriteScenario_string(scn, key.c_str(), value.c_str());
}

void VESSEL2::clbkLoadStateEx(FILEHANDLE scn, void *status) {
  char *line = nullptr;
  while (oapiReadScenario_nextline(scn, line))
    ParseScenarioLineEx(line, status);
}

void VESSEL2::clbkReserved3() {}
void VESSEL2::clbkPostCreation() {}
void VESSEL2::clbkFocusChanged(bool, OBJHANDLE, OBJHANDLE) {}
void VESSEL2::clbkPreStep(double, double, double) {}
void VESSEL2::clbkPostStep(double, double, double) {}
void VESSEL2::clbkReserved8() {}
void VESSEL2::clbkReserved9() {}
void VESSEL2::clbkReserved10() {}
void VESSEL2::clbkReserved11() {}
void VESSEL2::clbkReserved12() {}
void VESSEL2::clbkReserved13() {}
void VESSEL2::clbkReserved14() {}
void VESSEL2::clbkReserved15() {}
void VESSEL2::clbkNavMode(int, bool) {}
void VESSEL2::clbkReserved17() {}
void VESSEL2::clbkReserved18() {}
int VESSEL2::clbkConsumeDirectKey(char *) { return 0; }
int VESSEL2::clbkConsumeBufferedKey(DWORD, bool, char *) { return 0; }
void VESSEL2::clbkReserved21() {}
void VESSEL2::clbkReserved22() {}
void VESSEL2::clbkReserved23() {}
void VESSEL2::clbkReserved24() {}
void VESSEL2::clbkReserved25() {}
void VESSEL2::clbkReserved26() {}
void VESSEL2::clbkReserved27() {}

VESSEL3::VESSEL3(OBJHANDLE hVessel, int fmodel) : VESSEL2(hVessel, fmodel) {
  version_ = 3;
}
VESSEL3::~VESSEL3() = default;
void VESSEL3::clbkReserved28() {}
void VESSEL3::clbkReserved29() {}
void VESSEL3::clbkReserved30() {}
void VESSEL3::clbkReserved31() {}
bool VESSEL3::clbkDrawHUD(int, const HUDPAINTSPEC *, oapi::Sketchpad *) {
  return true;
}
