// Class set-up: physical parameters, mesh, propellant, exhaust emitters and their streams, the
// pad attachment point, and the eleven animations of the tower's moving parts.
#include <iterator>
#include <vector>

#include "brakkatower.h"

const VECTOR3 pad_point = {0, -5, -8};

namespace {

constexpr double kEmptyMass = 1.0e6;                 // kg
constexpr double kSize = 60;                         // m
constexpr VECTOR3 kCrossSections = {200, 200, 200};  // m^2
constexpr VECTOR3 kPmi = {20, 20, 20};               // m^2
constexpr VECTOR3 kRotDrag = {1, 1, 1};
constexpr double kMomentScale = 0.001;  // pitch and bank, realistic flight model only
constexpr VECTOR3 kCameraOffset = {0, 28, 25};
constexpr double kPropellantMass = 10000;  // kg, maximum and initial
constexpr double kEmitterIsp = 1.0e10;     // m/s; zero thrust draws nothing anyway
constexpr double kEmitterPref = 101400;    // Pa

// The tower's origin stands 37 m above the ground.
constexpr VECTOR3 kTouchdown[3] = {{0, -37, 10}, {-10, -37, -10}, {10, -37, -10}};

// Emitters T1 to T5: position and thrust direction; the streams leave the other way. The
// directions are kept as written, not normalised.
struct Emitter {
  VECTOR3 pos, dir;
};
constexpr Emitter kEmitterTable[kEmitters] = {
    {{-23, -37, -6}, {0.7071, -0.7071, 0}},  // T1
    {{20, -37, -6}, {-0.7071, -0.7071, 0}},  // T2
    {{-22, -37, -6}, {0.34, -0.94, 0}},      // T3
    {{19, -37, -6}, {-0.34, -0.94, 0}},      // T4
    {{-3, -36, -6}, {0, 1, 0}},              // T5
};
enum { T1, T2, T3, T4, T5 };

// What sets the four kinds of particle stream apart.
struct StreamKind {
  double size;      // particle size at creation, m
  double rate;      // mean generation rate, 1/s
  double speed;     // mean emission speed, m/s
  double spread;    // emission speed spread
  double lifetime;  // s
  double growth;    // m/s
  double slowdown;  // in atmosphere
  PARTICLESTREAMSPEC::LTYPE lighting;
  double density_max;  // upper density bound, kg/m^3
};
constexpr StreamKind kCentreSmoke = {6, 8, 70, 0, 2, 15, 3, PARTICLESTREAMSPEC::DIFFUSE, 2};
constexpr StreamKind kCentreFlame = {6, 8, 70, 0, 0.5, 10, 5, PARTICLESTREAMSPEC::EMISSIVE, 1};
constexpr StreamKind kSideSmoke = {10, 15, 150, 0.85, 2.2, 30, 1.8, PARTICLESTREAMSPEC::DIFFUSE, 2};
constexpr StreamKind kSideFlame = {20, 25, 150, 0.4, 0.3, 30, 2, PARTICLESTREAMSPEC::EMISSIVE, 1};

// Every stream follows the square root of its emitter's level between 0 and 2, and the
// logarithm of the air density from 0.0001 up.
PARTICLESTREAMSPEC StreamSpec(const StreamKind& kind, SURFHANDLE tex) {
  PARTICLESTREAMSPEC spec{};
  spec.flags = 0;
  spec.srcsize = kind.size;
  spec.srcrate = kind.rate;
  spec.v0 = kind.speed;
  spec.srcspread = kind.spread;
  spec.lifetime = kind.lifetime;
  spec.growthrate = kind.growth;
  spec.atmslowdown = kind.slowdown;
  spec.ltype = kind.lighting;
  spec.levelmap = PARTICLESTREAMSPEC::LVL_PSQRT;
  spec.lmin = 0;
  spec.lmax = 2;
  spec.atmsmap = PARTICLESTREAMSPEC::ATM_PLOG;
  spec.amin = 0.0001;
  spec.amax = kind.density_max;
  spec.tex = tex;
  return spec;
}

// Mesh groups of each component; together they use every group 0 to 78 exactly once.
UINT grp_twr[] = {0, 3, 5, 36, 38, 68, 1, 4, 6, 35, 66, 78, 2, 7, 67, 37};
UINT grp_et[kSections][3] = {{11, 42, 70}, {14, 45, 71}, {17, 48, 72}, {20, 51, 73}, {23, 54, 74},
                             {26, 57, 75}, {29, 60, 76}, {8, 39, 69},  {33, 64, 77}};
UINT grp_right_leaf[kSections][2] = {{13, 44}, {16, 47}, {19, 50}, {22, 53}, {25, 56},
                                     {28, 59}, {31, 62}, {10, 41}, {34, 65}};
UINT grp_left_leaf[kSections][2] = {{12, 43}, {15, 46}, {18, 49}, {21, 52}, {24, 55},
                                    {27, 58}, {30, 61}, {9, 40},  {32, 63}};

constexpr VECTOR3 kTwrShift = {0, 0, 140};  // m
// How far each section moves down, ET1 to ET9 (m).
constexpr double kSectionDrop[kSections] = {11.8, 11.8, 11.8, 11.8, 11.7, 9.0, 2.0, 2.0, 10.0};

// Leaves swing about vertical hinge lines at x = 5 and x = -5, in opposite senses.
constexpr VECTOR3 kRightLeafRef = {5, 35, -5.3};
constexpr VECTOR3 kRightLeafAxis = {0, -1, 0};
constexpr VECTOR3 kLeftLeafRef = {-5, 35, -5.3};
constexpr VECTOR3 kLeftLeafAxis = {0, 1, 0};
constexpr float kLeafAngle = 0.698f;  // rad, about 40 degrees

template <std::size_t N>
constexpr UINT Count(const UINT (&)[N]) {
  return static_cast<UINT>(N);
}

// The 28 transforms, shared by every tower of the process. The host keeps their addresses,
// so they are built once and never moved or freed while the module is loaded.
struct TowerTransforms {
  MGROUP_TRANSLATE twr{0, grp_twr, Count(grp_twr), kTwrShift};
  std::vector<MGROUP_TRANSLATE> et;
  std::vector<MGROUP_ROTATE> right_leaf, left_leaf;

  TowerTransforms() {
    et.reserve(kSections);
    right_leaf.reserve(kSections);
    left_leaf.reserve(kSections);
    for (int k = 0; k < kSections; ++k) {
      et.emplace_back(0, grp_et[k], Count(grp_et[k]), VECTOR3{0, -kSectionDrop[k], 0});
      right_leaf.emplace_back(0, grp_right_leaf[k], Count(grp_right_leaf[k]), kRightLeafRef, kRightLeafAxis,
                              kLeafAngle);
      left_leaf.emplace_back(0, grp_left_leaf[k], Count(grp_left_leaf[k]), kLeftLeafRef, kLeftLeafAxis, kLeafAngle);
    }
  }
};

TowerTransforms& Transforms() {
  static TowerTransforms transforms;
  return transforms;
}

}  // namespace

brakkatower::brakkatower(OBJHANDLE hvessel, int flightmodel) : VESSEL2(hvessel, flightmodel) {}

void brakkatower::clbkSetClassCaps(FILEHANDLE) {
  // every part at rest at its start
  twr_state = 0;
  twr_pos = 0.0;
  mch_state = 0;
  mch_pos = 0.0;
  for (int k = 0; k < kSections; ++k) {
    et_state[k] = 0;
    et_pos[k] = 0.0;
  }

  DefineAnimations();

  // physical parameters
  SetEmptyMass(kEmptyMass);
  SetCW(1, 1, 1, 1);
  SetSize(kSize);
  SetCrossSections(kCrossSections);
  SetPMI(kPmi);
  SetTouchdownPoints(kTouchdown[0], kTouchdown[1], kTouchdown[2]);
  SetRotDrag(kRotDrag);
  if (GetFlightModel() >= 1) {
    SetPitchMomentScale(kMomentScale);
    SetBankMomentScale(kMomentScale);
  }

  // mesh, camera, propellant
  UINT mesh = AddMesh("Brakka24/BrakkaTower");
  SetMeshVisibilityMode(mesh, MESHVIS_ALWAYS);
  SetCameraOffset(kCameraOffset);
  PROPELLANT_HANDLE ph = CreatePropellantResource(kPropellantMass, kPropellantMass, 1.0);

  // exhaust emitters: zero thrust, they exist for their streams
  SURFHANDLE smoke = oapiRegisterExhaustTexture("Tirelo_Missions/brakka_tower_smoke");
  SURFHANDLE flame = oapiRegisterExhaustTexture("Tirelo_Missions/brakka_tower_flame");
  for (int k = 0; k < kEmitters; ++k)
    th_exhaust[k] = CreateThruster(kEmitterTable[k].pos, kEmitterTable[k].dir, 0.0, ph, kEmitterIsp, 0.0, kEmitterPref);

  PARTICLESTREAMSPEC centre_smoke = StreamSpec(kCentreSmoke, smoke);
  PARTICLESTREAMSPEC centre_flame = StreamSpec(kCentreFlame, flame);
  PARTICLESTREAMSPEC side_smoke = StreamSpec(kSideSmoke, smoke);
  PARTICLESTREAMSPEC side_flame = StreamSpec(kSideFlame, flame);
  AddExhaustStream(th_exhaust[T5], &centre_smoke);
  AddExhaustStream(th_exhaust[T5], &centre_flame);
  AddExhaustStream(th_exhaust[T3], &side_smoke);
  AddExhaustStream(th_exhaust[T4], &side_smoke);
  AddExhaustStream(th_exhaust[T1], &side_smoke);
  AddExhaustStream(th_exhaust[T2], &side_smoke);
  AddExhaustStream(th_exhaust[T1], &side_flame);
  AddExhaustStream(th_exhaust[T2], &side_flame);

  // the tower is the parent of whatever is held at the pad
  att_pad = CreateAttachment(false, pad_point, _V(0, -1, 0), _V(0, 0, 1), "BT", false);
}

void brakkatower::DefineAnimations() {
  TowerTransforms& t = Transforms();

  // each translation right after its animation: TWR, ET1 to ET9, then MCH
  anim_twr = CreateAnimation(0.0);
  comp_twr = AddAnimationComponent(anim_twr, 0.0, 1.0, &t.twr);
  for (int k = 0; k < kSections; ++k) {
    anim_et[k] = CreateAnimation(0.0);
    comp_et[k] = AddAnimationComponent(anim_et[k], 0.0, 1.0, &t.et[k], comp_twr);
  }
  anim_mch = CreateAnimation(0.0);

  // the leaves ride on their sections: all right leaves, then all left leaves
  for (int k = 0; k < kSections; ++k) AddAnimationComponent(anim_mch, 0.0, 1.0, &t.right_leaf[k], comp_et[k]);
  for (int k = 0; k < kSections; ++k) AddAnimationComponent(anim_mch, 0.0, 1.0, &t.left_leaf[k], comp_et[k]);
}
