// The launch-pad tower: a landed tower with key-driven moving parts, flame and smoke at the pad
// while a vessel over it fires its main engines, and a hold-down for an idle launcher.
#pragma once

#include "api.h"

// Number of tower sections ET1 to ET9.
constexpr int kSections = 9;
// Moving parts: the tower travel, the leaf mechanism and the sections.
constexpr int kMovingParts = 2 + kSections;
// Number of exhaust emitters T1 to T5.
constexpr int kEmitters = 5;

namespace frame {
struct LineKey;
}

// Pad attachment point and centre of the hold-down search, tower coordinates (m).
extern const VECTOR3 pad_point;

class brakkatower : public VESSEL2 {
 public:
  brakkatower(OBJHANDLE hvessel, int flightmodel);

  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;
  int clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) override;

  void DefineAnimations();
  void UpdateExhaust();

 private:
  void HoldDown();
  void StateLines(frame::LineKey* keys);

  THRUSTER_HANDLE th_exhaust[kEmitters];
  UINT anim_twr;
  UINT anim_mch;
  UINT anim_et[kSections];
  ANIMATIONCOMPONENT_HANDLE comp_twr;
  ANIMATIONCOMPONENT_HANDLE comp_et[kSections];
  int twr_state;
  double twr_pos;
  int mch_state;
  double mch_pos;
  int et_state[kSections];
  double et_pos[kSections];
  ATTACHMENTHANDLE att_pad;
};
