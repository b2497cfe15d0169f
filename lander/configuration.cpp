// Class set-up: mass and shape, mesh, touchdown points, the tank, three engine clusters with
// nine plumes, the thruster groups, two airfoils and the attachment point toward the capsule.
#include <cmath>

#include "airfoil_coefficients.h"
#include "quarn_velquin.h"

namespace {

constexpr double kEmptyMass = 235;  // kg; with a full tank the 280 kg the capsule counts
constexpr double kCwZPos = 4, kCwZNeg = 4, kCwX = 2, kCwY = 2;
constexpr VECTOR3 kRotDrag = {2, 2, 1};
constexpr VECTOR3 kCrossSections = {0.5, 0.5, 2.8};  // m^2
constexpr double kSize = 2;                          // m
constexpr VECTOR3 kCameraOffset = {0, 0, 0};
constexpr double kPropellantMass = 45;  // kg, capacity and initial mass
constexpr double kEfficiency = 1;

// Every cluster thrusts along +y.
constexpr VECTOR3 kThrustDir = {0, 1, 0};
constexpr double kIsp = 2000;     // m/s
constexpr double kIspRef = 0;     // no pressure dependence
constexpr double kPref = 101400;  // Pa

// Plumes: three per cluster, the middle one as given for cluster 1, the others turned about the
// y axis by the spread; each cluster's set is cluster 1's turned by the cluster spacing.
constexpr double kPlumeLength = 1.3;                   // m
constexpr double kPlumeWidth = 0.08;                   // m
constexpr VECTOR3 kMiddlePlumePos = {0, -0.1, 0.895};  // m
constexpr VECTOR3 kMiddlePlumeDir = {0, -0.988, 0.156};
constexpr double kPlumeSpread = 9;       // degrees
constexpr double kClusterSpacing = 120;  // degrees

// Thruster groups, built in this order from the clusters (0-based) they hold.
struct Group {
  int count;
  int clusters[kClusters];
  THGROUP_TYPE type;
};
constexpr Group kGroups[] = {
    {1, {0}, THGROUP_ATT_PITCHUP},   {2, {1, 2}, THGROUP_ATT_PITCHDOWN}, {1, {2}, THGROUP_ATT_BANKLEFT},
    {1, {1}, THGROUP_ATT_BANKRIGHT}, {3, {0, 1, 2}, THGROUP_MAIN},
};

constexpr VECTOR3 kAirfoilRef = {0, 0, 0};  // m
constexpr double kAirfoilChord = 0.05;      // m
constexpr double kAirfoilArea = 0.05;       // m^2
constexpr double kAirfoilAspect = 1;

constexpr VECTOR3 kParentPointPos = {0, 0.11, 0};  // m
constexpr VECTOR3 kParentPointDir = {0, 1, 0};
constexpr VECTOR3 kParentPointRot = {0, 0, 1};

// The lander stands on its -y side; the points use 0.866 where the clusters use 0.8660254.
const TOUCHDOWNVTX touchdown_points[3] = {
    {{0, -0.1, 1}, 10000, 10000, 0.5, 0.5},
    {{-0.866, -0.1, -0.5}, 10000, 10000, 0.5, 0.5},
    {{0.866, -0.1, -0.5}, 10000, 10000, 0.5, 0.5},
};

}  // namespace

quarn_velquin::quarn_velquin(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}

VECTOR3 quarn_velquin::RotateY(const VECTOR3& v, double a) {
  const double r = a * kDegToRad;
  return {v.x * std::cos(r) - v.z * std::sin(r), v.y, v.x * std::sin(r) + v.z * std::cos(r)};
}

void quarn_velquin::clbkSetClassCaps(FILEHANDLE) {
  // first values
  stage_timer = 0.0;
  pulse_timer = 0.0;
  descent_state = 0;
  burn_stage = 0;
  pulse_off = 0;

  SetEmptyMass(kEmptyMass);
  SetCW(kCwZPos, kCwZNeg, kCwX, kCwY);
  SetRotDrag(kRotDrag);
  SetPMI(kPmi);
  SetCrossSections(kCrossSections);
  SetSize(kSize);

  UINT mesh = AddMesh("QUARN/quarn_lander");
  SetMeshVisibilityMode(mesh, MESHVIS_EXTERNAL);
  SetCameraOffset(kCameraOffset);
  SetTouchdownPoints(touchdown_points, 3);

  ph_main = CreatePropellantResource(kPropellantMass, kPropellantMass, kEfficiency);

  for (int k = 0; k < kClusters; ++k)
    th_engine[k] = CreateThruster(kClusterPos[k], kThrustDir, kClusterThrust, ph_main, kIsp, kIspRef, kPref);

  // plumes: the host takes each position and direction as it stands at the call, so the working
  // vectors are turned on from cluster to cluster
  SURFHANDLE tex = oapiRegisterExhaustTexture("Exhaust2");
  exhaust_pos[0] = kMiddlePlumePos;
  exhaust_dir[0] = kMiddlePlumeDir;
  exhaust_pos[1] = RotateY(exhaust_pos[0], kPlumeSpread);
  exhaust_dir[1] = RotateY(exhaust_dir[0], kPlumeSpread);
  exhaust_pos[2] = RotateY(exhaust_pos[0], -kPlumeSpread);
  exhaust_dir[2] = RotateY(exhaust_dir[0], -kPlumeSpread);
  for (int k = 0; k < kClusters; ++k) {
    if (k > 0) {
      for (int p = 0; p < 3; ++p) {
        exhaust_pos[p] = RotateY(exhaust_pos[p], kClusterSpacing);
        exhaust_dir[p] = RotateY(exhaust_dir[p], kClusterSpacing);
      }
    }
    for (int p = 0; p < 3; ++p)
      AddExhaust(th_engine[k], kPlumeLength, kPlumeWidth, exhaust_pos[p], exhaust_dir[p], tex);
  }

  // the clusters are at once the main engine and the attitude control
  for (const Group& g : kGroups) {
    for (int i = 0; i < g.count; ++i) th_group[i] = th_engine[g.clusters[i]];
    CreateThrusterGroup(th_group, g.count, g.type);
  }

  airfoil_vert = CreateAirfoil3(LIFT_VERTICAL, kAirfoilRef, VerticalLiftCoefficients, nullptr, kAirfoilChord,
                                kAirfoilArea, kAirfoilAspect);
  airfoil_horz = CreateAirfoil3(LIFT_HORIZONTAL, kAirfoilRef, HorizontalLiftCoefficients, nullptr, kAirfoilChord,
                                kAirfoilArea, kAirfoilAspect);

  att_parent = CreateAttachment(true, kParentPointPos, kParentPointDir, kParentPointRot, "BS", false);
}
