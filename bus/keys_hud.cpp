// The crew's keys and the head-up display of the velocity budget.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "quarn_bus.h"

namespace {

constexpr DWORD kTextColour = 0x66FF66;          // 0xBBGGRR
constexpr DWORD kKillRotationColour = 0x66FFFF;  // 0xBBGGRR
// Display scale per pixel of display height, and the height-to-width ratio below which the
// display counts as wide.
constexpr double kScalePerPixel = 0.00130208;
constexpr double kWideRatio = 0.7284;
// Effective exhaust velocity of the main group.
constexpr double kExhaustVelocity = 3223.5789;  // m/s

bool ControlDown(char* kstate) { return KEYDOWN(kstate, OAPI_KEY_LCONTROL) || KEYDOWN(kstate, OAPI_KEY_RCONTROL); }

// Formats into a 256-character buffer and writes it at (x, y).
__attribute__((format(printf, 4, 5))) void Write(oapi::Sketchpad* skp, int x, int y, const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  skp->Text(x, y, buf, static_cast<int>(std::strlen(buf)));
}

}  // namespace

int quarn_bus::clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) {
  if (!down) return 0;

  // while Shift is held the bus takes every buffered key
  if (ShiftDown(kstate)) {
    if (key == OAPI_KEY_NUMPAD5) kill_rotation = kill_rotation == 0 ? 1 : 0;
    return 1;
  }
  if (ControlDown(kstate)) return 0;

  switch (key) {
    case OAPI_KEY_G:
      if (solar_state == 0)
        solar_state = 1;
      else if (solar_state == 2)
        solar_state = 3;
      else if (solar_state == 3)
        solar_state = 2;
      return 1;
    case OAPI_KEY_J:
      if (capsule_released == 0) JettisonCapsule();
      return 1;
    case OAPI_KEY_K:
      if (hga_state == 0)
        hga_state = 1;
      else if (hga_state == 1 || hga_state == 2)
        hga_state = 3;
      else if (hga_state == 3)
        hga_state = 1;
      return 1;
    default:
      return 0;
  }
}

bool quarn_bus::clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) {
  VESSEL3::clbkDrawHUD(mode, hps, skp);

  const double scale = hps->H * kScalePerPixel;
  int b = 0;
  int x = 10;
  if (static_cast<double>(hps->H) / hps->W < kWideRatio) {
    b = -static_cast<int>(88 * scale);
    x = 10 + 10 * ((hps->W * 16) / 1024);
  }
  auto line_y = [&](double y) { return b + static_cast<int>(y * scale); };

  skp->SetTextColor(kTextColour);
  double me = GetEmptyMass();
  double mp = GetPropellantMass(ph_main);
  Write(skp, x, line_y(168), "Current Available dV %0.2f m/s", kExhaustVelocity * std::log((mp + me) / me));

  if (capsule_released == 0) {
    me = GetEmptyMass();
    mp = GetPropellantMass(ph_main);
    Write(skp, x, line_y(184), "Post-Sep Available dV %0.2f m/s",
          kExhaustVelocity * std::log((mp + me - kCapsuleMass) / (me - kCapsuleMass)));
  }

  skp->SetTextColor(kTextColour);
  Write(skp, x, line_y(200), "%s", "Shift+NumPad = Reaction Wheel Att.Control");
  if (kill_rotation == 1) {
    // stands to the right of the line above
    skp->SetTextColor(kKillRotationColour);
    Write(skp, x, line_y(200), "%42sKill Rot.Active", "");
  }

  skp->SetTextColor(kTextColour);
  Write(skp, x, line_y(216), "%s", "G = Deploy/Lock Solar Panels");
  skp->SetTextColor(kTextColour);
  Write(skp, x, line_y(232), "%s", "K = Deploy/Stow HGA");
  if (capsule_released == 0) {
    skp->SetTextColor(kTextColour);
    Write(skp, x, line_y(248), "%s", "J = Jettison EDL Capsule");
  }
  return true;
}
