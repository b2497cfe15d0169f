// The entry capsule: carries the lander down through the atmosphere inside its backshell, runs
// its own entry and descent sequence from its first step, and breaks up under excessive drag.
#pragma once

#include "api.h"

namespace frame {
struct LineKey;
}

// Meshes by the order in which they are added.
constexpr UINT kBackshellMesh = 0;   // "QUARN/quarn_bkshl"
constexpr UINT kHeatShieldMesh = 1;  // "QUARN/quarn_htshld"
constexpr UINT kCapMesh = 2;         // "QUARN/quarn_cap"
constexpr UINT kChuteMesh = 3;       // "QUARN/quarn_bkshl_chute": groups 0 and 1 are the canopy

// Moments of inertia per unit mass (m^2) and rotational drag: as set up, and with the parachute
// out. The canopy's inertia comes with its deployment, its damping once it is fully open.
constexpr VECTOR3 kPmi = {4, 4, 2};
constexpr VECTOR3 kChutePmi = {8, 8, 4};
constexpr VECTOR3 kRotDrag = {2, 2, 0.1};
constexpr VECTOR3 kOpenChuteRotDrag = {4, 4, 2};
constexpr double kSize = 2;            // m, mean radius
constexpr double kOpenChuteSize = 15;  // m, with the canopy open

// chute_state
constexpr int kChuteOpen = 0, kChuteInflating = 1, kChuteStowed = 2;
// collapse_state
constexpr int kStanding = 0, kCollapsing = 1, kCollapsed = 2;
// shield_state
constexpr int kShieldOn = 0, kShieldJettisoned = 1, kShieldLost = 3;
// lander_state. kLanderReleased also stands for a capsule that carries no lander because none
// could be made: nothing to release, nothing to wait for.
constexpr int kNoLander = 0, kLanderAttached = 1, kLanderReleased = 2, kLanderLost = 3;
// breakup_state
constexpr int kIntact = 0, kBreakingUp = 1, kBrokenUp = 2;

class quarn_edl_capsule : public VESSEL3 {
 public:
  quarn_edl_capsule(OBJHANDLE hvessel, int flightmodel);

  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;

  void DefineAnimations();
  void UpdateEmptyMass();
  // p: inflation state as in chute_proc, 1 packed to 0 open.
  void SetChuteAirfoils(double p);

  void JettisonHeatShield();
  void CreateLander();
  void ReleaseLander();
  void BreakUpStep();

 private:
  void StateLines(frame::LineKey* keys);
  void ParachuteStep(double altitude, double airspeed, double simdt);
  void CollapseStep(double simdt);

  UINT anim_chute;       // parachute inflation
  UINT anim_collapse;    // parachute collapse after touchdown
  double chute_proc;     // state of anim_chute: 1 packed, 0 fully open
  double collapse_proc;  // state of anim_collapse: 0 standing, 1 collapsed
  double breakup_timer;  // s since the break-up began
  double breakup_level;  // level of all twelve break-up streams, 0 off to 1 full
  int chute_state;       // 2 stowed, 1 inflating, 0 open
  int collapse_state;    // 0 not collapsed, 1 collapsing, 2 collapsed
  int shield_state;      // 0 attached, 1 jettisoned, 3 lost in the break-up
  int lander_state;      // 0 none yet, 1 attached, 2 released, 3 lost in the break-up
  int breakup_state;     // 0 intact, 1 breaking up, 2 broken up
  AIRFOILHANDLE airfoil_horz;
  AIRFOILHANDLE airfoil_vert;
  ATTACHMENTHANDLE att_lander;  // "BS": holds the lander
};
