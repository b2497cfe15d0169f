// The orbiter bus: the carrier spacecraft with its main engine, attitude thrusters, solar wings
// that track the Sun, a high-gain antenna that points at the Earth, reaction-wheel rate control,
// a head-up display of its velocity budget, and the entry capsule it releases on command.
#pragma once

#include "api.h"
#include "step_rules.h"

namespace frame {
struct LineKey;
}

// Position of the stowed capsule in bus coordinates (m): the back-shell mesh offset and the
// release point.
extern const VECTOR3 capsule_offset;

// The capsule's share of the bus's empty mass.
constexpr double kCapsuleMass = 600;  // kg

// Mesh 0 is the bus, mesh 1 the capsule's stowed back-shell.
constexpr UINT kBackShellMesh = 1;

inline bool ShiftDown(const char* kstate) {
  return KEYDOWN(kstate, OAPI_KEY_LSHIFT) || KEYDOWN(kstate, OAPI_KEY_RSHIFT);
}

class quarn_bus : public VESSEL3 {
 public:
  quarn_bus(OBJHANDLE hvessel, int flightmodel);

  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  int clbkConsumeDirectKey(char* kstate) override;
  int clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) override;
  bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) override;

  void DefineAnimations();
  void UpdateEmptyMass();
  void KillRotationStep();
  void JettisonCapsule();

 private:
  void StateLines(frame::LineKey* keys);
  // Both airfoils get the wing area of the spread wings.
  void SpreadWingArea();
  void SolarStep(double simdt);
  void PointAntenna(double simdt);
  void StowAntenna(double simdt);
  void SetAntennaAnimations();

  int hga_state;          // 0 stowed, 1 deploying, 2 pointing at the Earth, 3 stowing
  double hga_deploy;      // mount, 0 folded to 1 deployed
  double hga_elevation;   // elevation joint; 0.34 is home
  double hga_azimuth;     // dish turn, 0 to 1 is one full turn
  int solar_state;        // 0 stowed, 1 deploying, 2 tracking the Sun, 3 locked
  double solar_deploy;    // wing fold, 0 folded to 1 spread
  double solar_rotation;  // array turn, 0 to 1 is one full turn
  int capsule_released;   // 0 aboard, 1 released
  int kill_rotation;      // 1 while the rotation stop runs
  int sound_id;           // sound plug-in connection, -1 when not connected

  THRUSTER_HANDLE th_main;
  THRUSTER_HANDLE th_rcs[12];
  PROPELLANT_HANDLE ph_main;
  AIRFOILHANDLE airfoil_vert;
  AIRFOILHANDLE airfoil_horz;
  UINT anim_hga_deploy;
  UINT anim_hga_elevation;
  UINT anim_hga_azimuth;
  UINT anim_solar_deploy;
  UINT anim_solar_rotation;
};
