// Class set-up: first values, animations, mass and shape, meshes, propellant, the main engine and
// twelve attitude thrusters in their groups, the two airfoils; and the empty-mass rule.
#include "airfoil_coefficients.h"
#include "quarn_bus.h"

const VECTOR3 capsule_offset = {0, 0, 2.225};

namespace {

constexpr double kEmptyMassWithCapsule = 1932;  // kg

constexpr double kCw = 1;
constexpr VECTOR3 kRotDrag = {1, 1, 1};
constexpr VECTOR3 kPmi = {2, 2, 1};            // m^2
constexpr VECTOR3 kCrossSections = {7, 7, 4};  // m^2
constexpr double kSize = 3;                    // m
constexpr VECTOR3 kCameraOffset = {0, 1.5, -1.8};

constexpr VECTOR3 kTouchdown[3] = {{0.1, 0.8, -1.8}, {0.512, -0.853, -1.8}, {-0.512, -0.853, -1.8}};
constexpr double kFriction = 1;

constexpr VECTOR3 kDockPos = {0, 0, -2};
constexpr VECTOR3 kDockDir = {0, 0, -1};
constexpr VECTOR3 kDockRot = {0, 1, 0};

constexpr double kPropellantMass = 2400;  // kg, capacity and initial mass
constexpr double kEfficiency = 1;
constexpr double kIspRef = 0;     // no pressure dependence
constexpr double kPref = 101400;  // Pa

constexpr double kMainThrust = 424;  // N
constexpr double kMainIsp = 3300;    // m/s
constexpr VECTOR3 kMainPos = {0, 0, 0};
constexpr VECTOR3 kMainDir = {0, 0, 1};
constexpr double kMainExhaustLength = 3, kMainExhaustWidth = 0.2;
constexpr VECTOR3 kMainExhaustPos = {0, 0, -2.67};
constexpr VECTOR3 kMainExhaustDir = {0, 0, -1};

constexpr double kRcsThrust = 22;  // N
constexpr double kRcsIsp = 2900;   // m/s
constexpr double kRcsExhaustLength = 2.0, kRcsExhaustWidth = 0.1;

struct RcsThruster {
  VECTOR3 pos;  // m
  VECTOR3 dir;
};
constexpr RcsThruster kRcs[12] = {
    {{1.11, 0.79, -2.329}, {-0.7071, 0.7071, 0}},
    {{1.11, -0.79, -2.329}, {-0.7071, -0.7071, 0}},
    {{-1.11, 0.79, -2.329}, {0.7071, 0.7071, 0}},
    {{-1.11, -0.79, -2.329}, {0.7071, -0.7071, 0}},
    {{1.116, 0.808, -2.242}, {-0.7071, 0.7071, 0}},
    {{1.116, -0.808, -2.242}, {-0.7071, -0.7071, 0}},
    {{-1.116, 0.808, -2.242}, {0.7071, 0.7071, 0}},
    {{-1.116, -0.808, -2.242}, {0.7071, -0.7071, 0}},
    {{0.95, 0.95, -2.482}, {0, 0, 1}},
    {{0.95, -0.95, -2.482}, {0, 0, 1}},
    {{-0.95, 0.95, -2.482}, {0, 0, 1}},
    {{-0.95, -0.95, -2.482}, {0, 0, 1}},
};

// Thruster groups in the order they are created; thrusters by number R1..R12, 0 for the main
// engine.
struct Group {
  THGROUP_TYPE type;
  int count;
  int thrusters[5];
};
constexpr Group kGroups[] = {
    {THGROUP_ATT_PITCHUP, 2, {2, 4}},          {THGROUP_ATT_PITCHDOWN, 2, {1, 3}},    {THGROUP_ATT_BANKLEFT, 2, {5, 8}},
    {THGROUP_ATT_BANKRIGHT, 2, {6, 7}},        {THGROUP_ATT_YAWLEFT, 2, {3, 4}},      {THGROUP_ATT_YAWRIGHT, 2, {1, 2}},
    {THGROUP_ATT_FORWARD, 4, {9, 10, 11, 12}}, {THGROUP_MAIN, 5, {9, 10, 11, 12, 0}},
};

constexpr VECTOR3 kAirfoilRef = {0, 0, 0.1};  // m
constexpr double kAirfoilChord = 3;           // m
constexpr double kFoldedWingArea = 3;         // m^2
constexpr double kSpreadWingArea = 6;         // m^2
constexpr double kAirfoilAspect = 1;

// Animation transforms, built on first use and shared by every bus of the library; the host
// keeps pointers to them. Angles in degrees here, single-precision radians in the records.
UINT grp_left_root[] = {3};
UINT grp_left_middle[] = {0};
UINT grp_left_tip[] = {4};
UINT grp_right_root[] = {2};
UINT grp_right_middle[] = {1};
UINT grp_right_tip[] = {5};
UINT grp_dish[] = {12, 13, 14};

constexpr VECTOR3 kAntennaPivot = {0, 1.664, -1.952};

float Angle(double degrees) { return static_cast<float>(degrees * kDegToRad); }

struct BusTransforms {
  MGROUP_ROTATE array{0, nullptr, 0, {0, 0, 0}, {-1, 0, 0}, Angle(360)};
  MGROUP_ROTATE left_root{0, grp_left_root, 1, {-1.05, 0, 0}, {0, 1, 0}, Angle(-90)};
  MGROUP_ROTATE left_middle{0, grp_left_middle, 1, {-1.066, 0, 1.392}, {0, 1, 0}, Angle(180)};
  MGROUP_ROTATE left_tip{0, grp_left_tip, 1, {-1.095, 0, -2.096}, {0, 1, 0}, Angle(-180)};
  MGROUP_ROTATE right_root{0, grp_right_root, 1, {1.05, 0, 0}, {0, 1, 0}, Angle(90)};
  MGROUP_ROTATE right_middle{0, grp_right_middle, 1, {1.066, 0, 1.392}, {0, 1, 0}, Angle(-180)};
  MGROUP_ROTATE right_tip{0, grp_right_tip, 1, {1.095, 0, -2.096}, {0, 1, 0}, Angle(180)};
  MGROUP_ROTATE mount{0, nullptr, 0, kAntennaPivot, {1, 0, 0}, Angle(-108)};
  MGROUP_ROTATE elevation{0, nullptr, 0, kAntennaPivot, {1, 0, 0}, Angle(-180)};
  MGROUP_ROTATE dish{0, grp_dish, 3, kAntennaPivot, {0, -0.309, 0.951}, Angle(360)};
};

BusTransforms& Transforms() {
  static BusTransforms transforms;
  return transforms;
}

}  // namespace

quarn_bus::quarn_bus(OBJHANDLE hvessel, int flightmodel) : VESSEL3(hvessel, flightmodel) {}

void quarn_bus::clbkSetClassCaps(FILEHANDLE) {
  // first values
  hga_deploy = 0.0;
  hga_elevation = bus::kElevationHome;
  hga_state = 0;
  solar_state = 0;
  hga_azimuth = 0.0;
  capsule_released = 0;
  solar_deploy = 0.0;
  kill_rotation = 0;
  solar_rotation = 0.0;
  sound_id = -1;

  DefineAnimations();

  // physical parameters
  SetCW(kCw, kCw, kCw, kCw);
  SetRotDrag(kRotDrag);
  SetPMI(kPmi);
  SetCrossSections(kCrossSections);
  SetSize(kSize);
  SetEmptyMass(kEmptyMassWithCapsule);

  // the bus, and the capsule's back-shell while it rides along
  UINT bus_mesh = AddMesh("QUARN/quarn_bus");
  UINT shell_mesh = AddMesh("QUARN/quarn_bkshl_stowed", &capsule_offset);
  SetMeshVisibilityMode(bus_mesh, MESHVIS_ALWAYS);
  SetMeshVisibilityMode(shell_mesh, MESHVIS_ALWAYS);
  SetCameraOffset(kCameraOffset);

  SetTouchdownPoints(kTouchdown[0], kTouchdown[1], kTouchdown[2]);
  SetSurfaceFrictionCoeff(kFriction, kFriction);
  SetDockParams(kDockPos, kDockDir, kDockRot);

  ph_main = CreatePropellantResource(kPropellantMass, kPropellantMass, kEfficiency);

  // main engine
  th_main = CreateThruster(kMainPos, kMainDir, kMainThrust, ph_main, kMainIsp, kIspRef, kPref);
  SURFHANDLE main_tex = oapiRegisterExhaustTexture("Exhaust2");
  AddExhaust(th_main, kMainExhaustLength, kMainExhaustWidth, kMainExhaustPos, kMainExhaustDir, main_tex);

  // attitude thrusters R1 to R12, each with its plume at the thruster
  for (int i = 0; i < 12; ++i)
    th_rcs[i] = CreateThruster(kRcs[i].pos, kRcs[i].dir, kRcsThrust, ph_main, kRcsIsp, kIspRef, kPref);
  SURFHANDLE rcs_tex = oapiRegisterExhaustTexture("exhaust_atrcs");
  for (int i = 0; i < 12; ++i) AddExhaust(th_rcs[i], kRcsExhaustLength, kRcsExhaustWidth, rcs_tex);

  // the main group fires the four forward-facing attitude thrusters with the main engine
  for (const Group& g : kGroups) {
    THRUSTER_HANDLE th[5];
    for (int i = 0; i < g.count; ++i) th[i] = g.thrusters[i] == 0 ? th_main : th_rcs[g.thrusters[i] - 1];
    CreateThrusterGroup(th, g.count, g.type);
  }

  airfoil_vert = CreateAirfoil3(LIFT_VERTICAL, kAirfoilRef, VerticalLiftCoefficients, nullptr, kAirfoilChord,
                                kFoldedWingArea, kAirfoilAspect);
  airfoil_horz = CreateAirfoil3(LIFT_HORIZONTAL, kAirfoilRef, HorizontalLiftCoefficients, nullptr, kAirfoilChord,
                                kFoldedWingArea, kAirfoilAspect);
}

void quarn_bus::DefineAnimations() {
  BusTransforms& t = Transforms();

  // both wings ride on the array, which turns about the bus's x axis
  anim_solar_rotation = CreateAnimation(0.0);
  ANIMATIONCOMPONENT_HANDLE array = AddAnimationComponent(anim_solar_rotation, 0, 1, &t.array);

  anim_solar_deploy = CreateAnimation(0.0);
  ANIMATIONCOMPONENT_HANDLE left_root = AddAnimationComponent(anim_solar_deploy, 0, 1, &t.left_root, array);
  ANIMATIONCOMPONENT_HANDLE left_middle = AddAnimationComponent(anim_solar_deploy, 0, 1, &t.left_middle, left_root);
  AddAnimationComponent(anim_solar_deploy, 0, 1, &t.left_tip, left_middle);
  ANIMATIONCOMPONENT_HANDLE right_root = AddAnimationComponent(anim_solar_deploy, 0, 1, &t.right_root, array);
  ANIMATIONCOMPONENT_HANDLE right_middle = AddAnimationComponent(anim_solar_deploy, 0, 1, &t.right_middle, right_root);
  AddAnimationComponent(anim_solar_deploy, 0, 1, &t.right_tip, right_middle);

  // the dish rides on the elevation joint, which rides on the mount
  anim_hga_deploy = CreateAnimation(0.0);
  ANIMATIONCOMPONENT_HANDLE mount = AddAnimationComponent(anim_hga_deploy, 0, 1, &t.mount);
  anim_hga_elevation = CreateAnimation(bus::kElevationHome);
  ANIMATIONCOMPONENT_HANDLE elevation = AddAnimationComponent(anim_hga_elevation, 0, 1, &t.elevation, mount);
  anim_hga_azimuth = CreateAnimation(0.0);
  AddAnimationComponent(anim_hga_azimuth, 0, 1, &t.dish, elevation);
}

void quarn_bus::UpdateEmptyMass() {
  SetEmptyMass(capsule_released != 0 ? kEmptyMassWithCapsule - kCapsuleMass : kEmptyMassWithCapsule);
}

void quarn_bus::SpreadWingArea() {
  const DWORD changes = AIRFOIL_REF | AIRFOIL_AREA;
  EditAirfoil(airfoil_vert, changes, kAirfoilRef, nullptr, kAirfoilChord, kSpreadWingArea, kAirfoilAspect);
  EditAirfoil(airfoil_horz, changes, kAirfoilRef, nullptr, kAirfoilChord, kSpreadWingArea, kAirfoilAspect);
}
