// Host types shared by the host and every vessel module.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define QUARN_EXPORT __declspec(dllexport)
#define QUARN_HOSTAPI __declspec(dllimport)
#else
#define QUARN_EXPORT __attribute__((visibility("default")))
#define QUARN_HOSTAPI __attribute__((visibility("default")))
#endif

// Entry points a module exports: undecorated, visible.
#define DLLCLBK extern "C" QUARN_EXPORT

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using BYTE = unsigned char;

constexpr double PI = 3.14159265358979323846;
constexpr double RAD = PI / 180.0; // degrees to radians
constexpr double DEG = 180.0 / PI; // radians to degrees

// Opaque handles. The host owns what they point to; modules only store and
// return them.
using OBJHANDLE = void *;
using VESSELHANDLE = void *;
using THRUSTER_HANDLE = void *;
using PROPELLANT_HANDLE = void *;
using AIRFOILHANDLE = void *;
using ATTACHMENTHANDLE = void *;
using ANIMATIONCOMPONENT_HANDLE = void *;
using SURFHANDLE = void *;
using PSTREAM_HANDLE = void *;
using THGROUP_HANDLE = void *;
using FILEHANDLE = void *;
using HINSTANCE = void *;
using HMODULE = void *;
using HDC = void *;

struct VECTOR3 {
  double x, y, z;
};

// Row-major 3x3 matrix.
struct MATRIX3 {
  double m11, m12, m13;
  double m21, m22, m23;
  double m31, m32, m33;
};

inline VECTOR3 _V(double x, double y, double z) { return VECTOR3{x, y, z}; }
inline VECTOR3 operator+(const VECTOR3 &a, const VECTOR3 &b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline VECTOR3 operator-(const VECTOR3 &a, const VECTOR3 &b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline VECTOR3 operator-(const VECTOR3 &a) { return {-a.x, -a.y, -a.z}; }
inline VECTOR3 operator*(const VECTOR3 &a, double f) {
  return {a.x * f, a.y * f, a.z * f};
}
inline VECTOR3 operator*(double f, const VECTOR3 &a) {
  return {a.x * f, a.y * f, a.z * f};
}
inline VECTOR3 operator/(const VECTOR3 &a, double f) {
  return {a.x / f, a.y / f, a.z / f};
}
inline VECTOR3 &operator+=(VECTOR3 &a, const VECTOR3 &b) {
  a = a + b;
  return a;
}
inline VECTOR3 &operator-=(VECTOR3 &a, const VECTOR3 &b) {
  a = a - b;
  return a;
}
inline VECTOR3 &operator*=(VECTOR3 &a, double f) {
  a = a * f;
  return a;
}
inline double dotp(const VECTOR3 &a, const VECTOR3 &b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline VECTOR3 crossp(const VECTOR3 &a, const VECTOR3 &b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const VECTOR3 &a) { return std::sqrt(dotp(a, a)); }
inline VECTOR3 unit(const VECTOR3 &a) { return a / length(a); }

// A vessel's state relative to its reference body, in global axes.
struct VESSELSTATUS {
  VECTOR3 rpos;    // position relative to the reference body, m
  VECTOR3 rvel;    // velocity relative to the reference body, m/s
  VECTOR3 vrot;    // angular velocity in vessel coordinates, rad/s
  VECTOR3 arot;    // attitude angles (alpha, beta, gamma), rad
  double fuel;     // level of the first propellant resource, 0..1
  double eng_main; // main thruster group level, 0..1
  double eng_hovr; // hover thruster group level, 0..1
  OBJHANDLE rbody; // reference body
  OBJHANDLE base;  // surface base when landed (unused)
  int port;        // docking port (unused)
  int status;      // 0 free flight, 1 landed
};

// A touchdown point: position, spring stiffness and damping, friction
// coefficients.
struct TOUCHDOWNVTX {
  VECTOR3 pos;
  double stiffness; // N/m
  double damping;   // N s/m
  double mu;        // lateral friction coefficient
  double mu_lng;    // longitudinal friction coefficient
};

// Particle stream description, fields in this order.
struct PARTICLESTREAMSPEC {
  DWORD flags;
  double srcsize;    // particle size at creation, m
  double srcrate;    // creation rate, 1/s
  double v0;         // emission speed, m/s
  double srcspread;  // emission speed spread
  double lifetime;   // particle lifetime, s
  double growthrate; // growth rate, m/s
  double atmslowdown;
  enum LTYPE { EMISSIVE, DIFFUSE } ltype;
  enum LEVELMAP { LVL_FLAT, LVL_LIN, LVL_SQRT, LVL_PLIN, LVL_PSQRT } levelmap;
  double lmin, lmax;
  enum ATMSMAP { ATM_FLAT, ATM_PLIN, ATM_PLOG } atmsmap;
  double amin, amax;
  SURFHANDLE tex; // null: the host's default texture
};

// Animation transforms. The host keeps the pointer it is given: the module owns
// the record.
struct MGROUP_TRANSFORM {
  enum TYPE { NUL, ROTATE, TRANSLATE, SCALE };
  MGROUP_TRANSFORM() = default;
  MGROUP_TRANSFORM(UINT mesh_, UINT *grp_, UINT ngrp_)
      : mesh(mesh_), grp(grp_), ngrp(ngrp_) {}
  virtual ~MGROUP_TRANSFORM() = default;
  virtual TYPE Type() const { return NUL; }
  UINT mesh = 0;
  UINT *grp = nullptr; // mesh groups moved by this component (null: none)
  UINT ngrp = 0;
};

struct MGROUP_ROTATE : MGROUP_TRANSFORM {
  MGROUP_ROTATE(UINT mesh_, UINT *grp_, UINT ngrp_, const VECTOR3 &ref_,
                const VECTOR3 &axis_, float angle_)
      : MGROUP_TRANSFORM(mesh_, grp_, ngrp_), ref(ref_), axis(axis_),
        angle(angle_) {}
  TYPE Type() const override { return ROTATE; }
  VECTOR3 ref;  // point on the axis, m
  VECTOR3 axis; // rotation axis (right-hand rule)
  float angle;  // rotation at state 1, rad
};

struct MGROUP_TRANSLATE : MGROUP_TRANSFORM {
  MGROUP_TRANSLATE(UINT mesh_, UINT *grp_, UINT ngrp_, const VECTOR3 &shift_)
      : MGROUP_TRANSFORM(mesh_, grp_, ngrp_), shift(shift_) {}
  TYPE Type() const override { return TRANSLATE; }
  VECTOR3 shift; // translation at state 1, m
};

struct MGROUP_SCALE : MGROUP_TRANSFORM {
  MGROUP_SCALE(UINT mesh_, UINT *grp_, UINT ngrp_, const VECTOR3 &ref_,
               const VECTOR3 &scale_)
      : MGROUP_TRANSFORM(mesh_, grp_, ngrp_), ref(ref_), scale(scale_) {}
  TYPE Type() const override { return SCALE; }
  VECTOR3 ref;   // fixed point of the scaling, m
  VECTOR3 scale; // scale factors at state 1
};

// Engine status of a vessel, as other vessels see it.
struct ENGINESTATUS {
  double main; // main minus retro group level, -1..1
  double hovr; // hover group level, 0..1
  int attmode; // attitude thruster mode
};

// What the head-up display offers to a vessel's drawing callback.
struct HUDPAINTSPEC {
  int W, H;     // display size, pixels
  int CX, CY;   // centre, pixels
  double Scale; // pixels per degree
  int Markersize;
};

// Thruster group types, numbered as the modules use them.
enum THGROUP_TYPE {
  THGROUP_MAIN = 0,
  THGROUP_RETRO = 1,
  THGROUP_HOVER = 2,
  THGROUP_ATT_PITCHUP = 3,
  THGROUP_ATT_PITCHDOWN = 4,
  THGROUP_ATT_YAWLEFT = 5,
  THGROUP_ATT_YAWRIGHT = 6,
  THGROUP_ATT_BANKLEFT = 7,
  THGROUP_ATT_BANKRIGHT = 8,
  THGROUP_ATT_RIGHT = 9,
  THGROUP_ATT_LEFT = 10,
  THGROUP_ATT_UP = 11,
  THGROUP_ATT_DOWN = 12,
  THGROUP_ATT_FORWARD = 13,
  THGROUP_ATT_BACK = 14,
  THGROUP_USER = 0x40
};

enum AIRFOIL_ORIENTATION { LIFT_VERTICAL = 0, LIFT_HORIZONTAL = 1 };

// EditAirfoil change flags.
constexpr DWORD AIRFOIL_REF = 0x01;
constexpr DWORD AIRFOIL_FUNC = 0x02;
constexpr DWORD AIRFOIL_CHORD = 0x04;
constexpr DWORD AIRFOIL_AREA = 0x08;
constexpr DWORD AIRFOIL_ASPECT = 0x10;

// Extended airfoil coefficient function: vessel, angle of attack (rad), Mach,
// Reynolds, context; writes lift, moment and drag coefficients.
class VESSEL;
using AirfoilCoeffFuncEx = void (*)(VESSEL *v, double aoa, double M, double Re,
                                    void *context, double *cl, double *cm,
                                    double *cd);

enum AltitudeMode { ALTMODE_MEANRAD = 0, ALTMODE_GROUND = 1 };

// Frames of GetGroundspeedVector and friends.
enum REFFRAME {
  FRAME_GLOBAL = 0,
  FRAME_LOCAL = 1,
  FRAME_REFLOCAL = 2,
  FRAME_HORIZON = 3
};

// Navigation modes.
constexpr int NAVMODE_KILLROT = 1;
constexpr int NAVMODE_HLEVEL = 2;

// Mesh visibility flags.
constexpr WORD MESHVIS_NEVER = 0x00;
constexpr WORD MESHVIS_EXTERNAL = 0x01;
constexpr WORD MESHVIS_COCKPIT = 0x02;
constexpr WORD MESHVIS_ALWAYS = MESHVIS_EXTERNAL | MESHVIS_COCKPIT;

// Keyboard scan codes used by the modules and the key scripts.
constexpr int OAPI_KEY_LSHIFT = 0x2A;
constexpr int OAPI_KEY_RSHIFT = 0x36;
constexpr int OAPI_KEY_LCONTROL = 0x1D;
constexpr int OAPI_KEY_RCONTROL = 0x9D;
constexpr int OAPI_KEY_G = 0x22;
constexpr int OAPI_KEY_J = 0x24;
constexpr int OAPI_KEY_K = 0x25;
constexpr int OAPI_KEY_NUMPAD1 = 0x4F;
constexpr int OAPI_KEY_NUMPAD2 = 0x50;
constexpr int OAPI_KEY_NUMPAD3 = 0x51;
constexpr int OAPI_KEY_NUMPAD4 = 0x4B;
constexpr int OAPI_KEY_NUMPAD5 = 0x4C;
constexpr int OAPI_KEY_NUMPAD6 = 0x4D;
constexpr int OAPI_KEY_NUMPAD7 = 0x47;
constexpr int OAPI_KEY_NUMPAD8 = 0x48;
constexpr int OAPI_KEY_NUMPAD9 = 0x49;
constexpr int OAPI_KEY_NUMPAD0 = 0x52;

// True while the key's byte in a keyboard state has bit 0x80 set.
inline bool KEYDOWN(const char *kstate, int key) {
  return (static_cast<unsigned char>(kstate[key]) & 0x80) != 0;
}
