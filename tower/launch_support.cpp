// Launch support at every step: flame and smoke at the pad under a vessel firing its main
// engines, and the hold-down that keeps an idle launcher at the pad until it runs near full
// thrust. The tower keeps no state of its own for either: levels live in its emitters, the
// hold in the host's attachment.
#include <cstring>

#include "brakkatower.h"

namespace {

constexpr VECTOR3 kFlameRef = {0, -35, 0};  // tower coordinates, m
constexpr double kFlameRadius = 90;         // m: a vessel closer than this can light the emitters
constexpr double kLevelSlope = 0.02;        // emitter level per metre inside the flame radius

constexpr double kSearchRadius = 35;      // m, vessel position around the pad point
constexpr double kPointRadius = 10;       // m, the vessel's hold-down point around the pad point
constexpr char kLauncherPrefix[] = "BR";  // case-sensitive
constexpr double kReleaseLevel = 0.8;     // released above this main-engine level
constexpr double kCaptureLevel = 0.0;     // captured at exactly this level

double MainEngineLevel(OBJHANDLE vessel) {
  ENGINESTATUS es;
  oapiGetEngineStatus(vessel, &es);
  return es.main;
}

double Distance(const VECTOR3& a, const VECTOR3& b) { return length(a - b); }

}  // namespace

void brakkatower::clbkPreStep(double, double, double) {
  UpdateExhaust();
  HoldDown();
}

void brakkatower::UpdateExhaust() {
  VECTOR3 flame_ref;
  Local2Global(kFlameRef, flame_ref);

  // the first other vessel inside the flame radius decides
  double level = 0.0;
  OBJHANDLE self = GetHandle();
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    OBJHANDLE h = oapiGetVesselByIndex(static_cast<int>(i));
    if (h == self) continue;
    VECTOR3 pos;
    oapiGetGlobalPos(h, &pos);
    double d = Distance(pos, flame_ref);
    if (!(d < kFlameRadius)) continue;
    if (MainEngineLevel(h) > 0.0) {
      level = (kFlameRadius - d) * kLevelSlope;
      if (level > 1.0) level = 1.0;
      if (level < 0.0) level = 0.0;
    }
    break;
  }

  // centre and side streams appear, fade and vanish together
  for (int k = 0; k < kEmitters; ++k) SetThrusterLevel(th_exhaust[k], level);
}

void brakkatower::HoldDown() {
  VECTOR3 pad;
  Local2Global(pad_point, pad);

  // find the launcher at the pad: the first vessel near it with a "BR" point close to it
  OBJHANDLE self = GetHandle();
  OBJHANDLE launcher = nullptr;
  VESSEL* lv = nullptr;
  ATTACHMENTHANDLE hold_point = nullptr;
  for (DWORD i = 0; i < oapiGetVesselCount() && !launcher; ++i) {
    OBJHANDLE h = oapiGetVesselByIndex(static_cast<int>(i));
    if (h == self) continue;
    VECTOR3 pos;
    oapiGetGlobalPos(h, &pos);
    if (!(Distance(pos, pad) < kSearchRadius)) continue;
    VESSEL* v = oapiGetVesselInterface(h);
    DWORD n = v->AttachmentCount(true);
    for (DWORD j = 0; j < n; ++j) {
      ATTACHMENTHANDLE a = v->GetAttachmentHandle(true, j);
      if (std::strncmp(v->GetAttachmentId(a), kLauncherPrefix, 2) != 0) continue;
      VECTOR3 apos, adir, arot;
      v->GetAttachmentParams(a, apos, adir, arot);
      VECTOR3 gpos;
      v->Local2Global(apos, gpos);
      if (Distance(gpos, pad) < kPointRadius) {
        launcher = h;
        lv = v;
        hold_point = a;
        break;
      }
    }
  }
  if (!launcher) return;

  // hold it while idle, let it go near full thrust
  double m = MainEngineLevel(launcher);
  if (GetAttachmentStatus(att_pad) == launcher) {
    if (m > kReleaseLevel) DetachChild(att_pad, 0.0);
  } else if (m == kCaptureLevel && !lv->GetAttachmentStatus(hold_point)) {
    AttachChild(launcher, att_pad, hold_point);
  }
}
