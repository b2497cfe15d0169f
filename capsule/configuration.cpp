// Class set-up: first values, the parachute animations, mass and shape, four meshes, touchdown
// points, two airfoils that grow with the canopy, twelve break-up streams and the lander's
// attachment point; and the empty-mass rule.
#include "airfoil_coefficients.h"
#include "quarn_edl_capsule.h"

namespace {

constexpr double kCwZPos = 4, kCwZNeg = 4, kCwX = 2, kCwY = 2;
constexpr VECTOR3 kCrossSections = {2, 2, 4};  // m^2
constexpr VECTOR3 kCameraOffset = {0, 0, 0.2};
constexpr double kFrictionLng = 1, kFrictionLat = 1;

// An equilateral triangle of circumradius 2 m in the x-y plane, just on the heat-shield side.
const TOUCHDOWNVTX touchdown_points[3] = {
    {{0, 2, 0.001}, 10000, 10000, 0.5, 0.5},
    {{-1.732, -1, 0.001}, 10000, 10000, 0.5, 0.5},
    {{1.732, -1, 0.001}, 10000, 10000, 0.5, 0.5},
};

// Empty mass: the capsule with its heat shield, without it, the lander's share, and what is left
// after a break-up. The lander counts here only until it is a vessel of its own: held at "BS" it
// is part of the stack and the host adds its own mass, so the stack stays at 600 kg.
constexpr double kMassWithShield = 320;     // kg
constexpr double kMassWithoutShield = 240;  // kg
constexpr double kLanderMass = 280;         // kg, the lander's 235 kg and its full 45 kg tank
constexpr double kMassAfterBreakUp = 200;   // kg

// Airfoils: as set up they stand for the capsule alone; the parachute moves their reference
// point back and adds wing area as it opens.
constexpr double kAirfoilRefZ = -0.1;    // m
constexpr double kChuteRefTravel = 3;    // m, along -z from packed to open
constexpr double kAirfoilChord = 3;      // m
constexpr double kAirfoilArea = 3;       // m^2
constexpr double kChuteAreaGrowth = 24;  // m^2, from packed to open
constexpr double kAirfoilAspect = 1;
constexpr DWORD kChuteAirfoilChanges = AIRFOIL_REF | AIRFOIL_AREA;

// Break-up streams: a small fast contrail and a large slow cloud, each in all six axis
// directions from the origin.
constexpr VECTOR3 kStreamPos = {0, 0, 0};
constexpr VECTOR3 kStreamDirs[6] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
const PARTICLESTREAMSPEC kContrail = {0,
                                      0.25,
                                      1,
                                      25,
                                      2,
                                      2,
                                      0,
                                      4,
                                      PARTICLESTREAMSPEC::EMISSIVE,
                                      PARTICLESTREAMSPEC::LVL_PSQRT,
                                      0,
                                      1,
                                      PARTICLESTREAMSPEC::ATM_FLAT,
                                      1,
                                      1,
                                      nullptr};
const PARTICLESTREAMSPEC kCloud = {0,
                                   2,
                                   5,
                                   10,
                                   0.7,
                                   5,
                                   20,
                                   4,
                                   PARTICLESTREAMSPEC::EMISSIVE,
                                   PARTICLESTREAMSPEC::LVL_PSQRT,
                                   0,
                                   8,
                                   PARTICLESTREAMSPEC::ATM_FLAT,
                                   1,
                                   1,
                                   nullptr};

constexpr VECTOR3 kLanderPointPos = {0, 0, -0.1};  // m
constexpr VECTOR3 kLanderPointDir = {0, 0, 1};
constexpr VECTOR3 kLanderPointRot = {0, 1, 0};

// Animation transforms, built on the first DefineAnimations and shared by every capsule of the
// library until it is unloaded: the host keeps pointers to them. Each has its own list of
// the canopy's two groups.
constexpr double kDegToRad = 0.017453292519943295;
constexpr float kTipOverAngle = static_cast<float>(80 * kDegToRad);

struct CapsuleTransforms {
  UINT packed_groups[2] = {0, 1};
  UINT spread_groups[2] = {0, 1};
  UINT tip_groups[2] = {0, 1};
  UINT flatten_groups[2] = {0, 1};
  // packed bundle, then half width at full length, then full width
  MGROUP_SCALE packed{kChuteMesh, packed_groups, 2, {0, 0, -0.2}, {0.01, 0.01, 0.005}};
  MGROUP_SCALE spread{kChuteMesh, spread_groups, 2, {0, 0, -0.2}, {0.5, 0.5, 1.0}};
  // tips over about x, then lies flat
  MGROUP_ROTATE tip{kChuteMesh, tip_groups, 2, {0, 0, -0.05}, {1, 0, 0}, kTipOverAngle};
  MGROUP_SCALE flatten{kChuteMesh, flatten_groups, 2, {0, 0, -0.1}, {1, 1, 0.01}};
};

CapsuleTransforms& Transforms() {
  static CapsuleTransforms transforms;
  return transforms;
}

}  // namespace

quarn_edl_capsule::quarn_edl_capsule(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}

void quarn_edl_capsule::clbkSetClassCaps(FILEHANDLE) {
  // first values
  chute_proc = 1.0;
  collapse_proc = 0.0;
  chute_state = kChuteStowed;
  breakup_timer = 0.0;
  collapse_state = kStanding;
  breakup_level = 0.0;
  shield_state = kShieldOn;
  lander_state = kNoLander;
  breakup_state = kIntact;

  DefineAnimations();

  // physical parameters
  SetCW(kCwZPos, kCwZNeg, kCwX, kCwY);
  SetRotDrag(kRotDrag);
  SetPMI(kPmi);
  SetCrossSections(kCrossSections);
  SetSize(kSize);
  UpdateEmptyMass();

  // backshell, heat shield and cap shown; the parachute only once it is out
  AddMesh("QUARN/quarn_bkshl");
  AddMesh("QUARN/quarn_htshld");
  AddMesh("QUARN/quarn_cap");
  AddMesh("QUARN/quarn_bkshl_chute");
  SetMeshVisibilityMode(kBackshellMesh, MESHVIS_EXTERNAL);
  SetMeshVisibilityMode(kHeatShieldMesh, MESHVIS_EXTERNAL);
  SetMeshVisibilityMode(kCapMesh, MESHVIS_EXTERNAL);
  SetMeshVisibilityMode(kChuteMesh, MESHVIS_NEVER);

  SetCameraOffset(kCameraOffset);
  SetTouchdownPoints(touchdown_points, 3);
  SetSurfaceFrictionCoeff(kFrictionLng, kFrictionLat);

  const VECTOR3 ref = {0, 0, kAirfoilRefZ};
  airfoil_vert = CreateAirfoil3(LIFT_VERTICAL, ref, VerticalLiftCoefficients, nullptr, kAirfoilChord, kAirfoilArea,
                                kAirfoilAspect);
  airfoil_horz = CreateAirfoil3(LIFT_HORIZONTAL, ref, HorizontalLiftCoefficients, nullptr, kAirfoilChord, kAirfoilArea,
                                kAirfoilAspect);

  // the streams read breakup_level, which is 0 but for the break-up
  PARTICLESTREAMSPEC contrail = kContrail;
  contrail.tex = oapiRegisterExhaustTexture("contrail3");
  PARTICLESTREAMSPEC cloud = kCloud;
  for (const VECTOR3& dir : kStreamDirs) AddParticleStream(&contrail, kStreamPos, dir, &breakup_level);
  for (const VECTOR3& dir : kStreamDirs) AddParticleStream(&cloud, kStreamPos, dir, &breakup_level);

  att_lander = CreateAttachment(false, kLanderPointPos, kLanderPointDir, kLanderPointRot, "BS", false);
}

void quarn_edl_capsule::DefineAnimations() {
  CapsuleTransforms& t = Transforms();

  anim_chute = CreateAnimation(0.0);
  AddAnimationComponent(anim_chute, 0.9, 1.0, &t.packed);
  AddAnimationComponent(anim_chute, 0.0, 0.9, &t.spread);

  anim_collapse = CreateAnimation(0.0);
  AddAnimationComponent(anim_collapse, 0.0, 0.8, &t.tip);
  AddAnimationComponent(anim_collapse, 0.8, 1.0, &t.flatten);
}

// Counting a held lander here as well would weigh the stack at 880 kg: too heavy to fall below
// the release speed under the parachute.
void quarn_edl_capsule::UpdateEmptyMass() {
  double mass = shield_state == kShieldOn ? kMassWithShield : kMassWithoutShield;
  if (lander_state == kNoLander) mass += kLanderMass;
  if (lander_state == kLanderLost) mass = kMassAfterBreakUp;
  SetEmptyMass(mass);
}

void quarn_edl_capsule::SetChuteAirfoils(double p) {
  const double spread = 1 - p;
  const VECTOR3 ref = {0, 0, kAirfoilRefZ - kChuteRefTravel * spread};
  const double area = kAirfoilArea + kChuteAreaGrowth * spread;
  EditAirfoil(airfoil_vert, kChuteAirfoilChanges, ref, nullptr, kAirfoilChord, area, kAirfoilAspect);
  EditAirfoil(airfoil_horz, kChuteAirfoilChanges, ref, nullptr, kAirfoilChord, area, kAirfoilAspect);
}
