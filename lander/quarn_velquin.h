// The lander: rides inside the entry capsule and, once released, flies a guided powered descent
// with its three engine clusters down to touchdown.
#pragma once

#include "api.h"

namespace frame {
struct LineKey;
}

// Engine clusters, one thruster each of 1200 N, on the unit circle in the x-z plane (m): cluster 1
// on +z, clusters 2 and 3 at 120 and 240 degrees from it. Shared by the set-up and the descent
// control.
constexpr int kClusters = 3;
constexpr double kClusterThrust = 1200;
constexpr VECTOR3 kClusterPos[kClusters] = {{0, 0, 1}, {-0.8660254, 0, -0.5}, {0.8660254, 0, -0.5}};
// Principal moments of inertia per unit mass, m^2.
constexpr VECTOR3 kPmi = {0.5, 1, 0.5};

constexpr double kDegToRad = 0.017453292519943295;

class quarn_velquin : public VESSEL3 {
 public:
  quarn_velquin(OBJHANDLE hvessel, int flightmodel);

  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;

  // v turned about the y axis by a degrees.
  static VECTOR3 RotateY(const VECTOR3& v, double a);
  void DescentControl();

 private:
  void StateLines(frame::LineKey* keys);

  AIRFOILHANDLE airfoil_horz;
  AIRFOILHANDLE airfoil_vert;
  ATTACHMENTHANDLE att_parent;  // "BS", toward the capsule
  THRUSTER_HANDLE th_engine[kClusters];
  THRUSTER_HANDLE th_group[kClusters];  // scratch list while the groups are built
  PROPELLANT_HANDLE ph_main;
  VECTOR3 exhaust_pos[3];  // the three plumes of one cluster while they are added, m
  VECTOR3 exhaust_dir[3];
  int descent_state;   // 0 attached, 1 coasting, 2 powered descent, 3 landed
  int burn_stage;      // 0 pitch-up burn, 1 full-thrust burn, 2 guided burn
  int pulse_off;       // 1 in the off half of the pulse cycle
  double stage_timer;  // s: coast time in state 1, time in the burn stage below 2
  double pulse_timer;  // s since the last toggle of pulse_off
};
