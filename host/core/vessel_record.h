// The host's record of one vessel: what its set-up configured (VesselConfig)
// and what changes as it flies (VesselState). Tests inspect these directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vessel.h"

namespace host {

struct Vessel;
struct Body;
struct ModuleRecord;

struct MeshRecord {
  std::string name;
  VECTOR3 offset{0, 0, 0};
  WORD visibility = MESHVIS_EXTERNAL;
  bool present =
      true; // false once deleted; indices of the others stay as they were
};

struct PropellantRecord {
  double max_mass = 0;
  double efficiency = 1;
  double mass = 0;   // state
  double demand = 0; // kg the thrusters ask of it in the current step (scratch
                     // of the thrust stage)
};

struct ThrusterRecord {
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 1};
  double max_thrust = 0; // N
  PropellantRecord *resource = nullptr;
  double isp = 0, isp_ref = 0, p_ref = 101400;
  double level = 0; // the module's commanded level, state; held until set again
  double nav_level =
      0; // navigation-mode correction added for the current step only
};

struct ThrusterGroupRecord {
  THGROUP_TYPE type = THGROUP_MAIN;
  std::vector<ThrusterRecord *> thrusters;
};

struct ExhaustRecord {
  ThrusterRecord *thruster = nullptr;
  double lscale = 0, wscale = 0;
  bool at_thruster = true; // position and direction from the thruster
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 0};
  SURFHANDLE texture = nullptr;
  double Level() const; // the thruster's effective level
};

struct ParticleStreamRecord {
  PARTICLESTREAMSPEC spec{};
  bool has_spec = false;
  ThrusterRecord *thruster = nullptr; // exhaust stream: level from the thruster
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 0};
  const double *level = nullptr; // the module's level, read every frame
  double Level() const;
};

struct AirfoilRecord {
  AIRFOIL_ORIENTATION align = LIFT_VERTICAL;
  VECTOR3 ref{0, 0, 0};
  AirfoilCoeffFuncEx cf = nullptr;
  void *context = nullptr;
  double chord = 0, area = 0, aspect = 0;
};

struct AttachmentRecord {
  Vessel *owner = nullptr;
  bool toparent = false;
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 1}, rot{0, 1, 0};
  std::string id;
  bool loose = false;
  // The point this one is joined to, or null.
  AttachmentRecord *peer = nullptr;
};

struct AnimationComponentRecord {
  double state0 = 0, state1 = 1;
  MGROUP_TRANSFORM *transform = nullptr; // the module's record
  AnimationComponentRecord *parent = nullptr;
  std::vector<AnimationComponentRecord *> children;
};

struct AnimationRecord {
  double default_state = 0;
  double state = 0;
  std::vector<std::unique_ptr<AnimationComponentRecord>> components;
};

struct VesselConfig {
  double size = 1;
  double empty_mass = 1000;
  VECTOR3 pmi{1, 1, 1};
  double cw_z_pos = 1, cw_z_neg = 1, cw_x = 1, cw_y = 1;
  VECTOR3 rot_drag{0, 0, 0};
  VECTOR3 cross_sections{1, 1, 1};
  VECTOR3 camera_offset{0, 0, 0};
  std::vector<TOUCHDOWNVTX> touchdown; // empty: none set
  bool touchdown_derived = false; // stiffness and damping derived from the mass
  double mu_lng = 0.1, mu_lat = 0.5;
  VECTOR3 dock_pos{0, 0, 0}, dock_dir{0, 0, 1}, dock_rot{0, 1, 0};
  bool has_dock = false;
  double pitch_moment_scale = 0, bank_moment_scale = 0;

  std::vector<MeshRecord> meshes;
  std::vector<std::unique_ptr<PropellantRecord>> propellants;
  std::vector<std::unique_ptr<ThrusterRecord>> thrusters;
  std::vector<std::unique_ptr<ThrusterGroupRecord>> groups;
  std::vector<ExhaustRecord> exhausts;
  std::vector<std::unique_ptr<ParticleStreamRecord>> streams;
  std::vector<std::unique_ptr<AirfoilRecord>> airfoils;
  std::vector<std::unique_ptr<AttachmentRecord>> attachments;
  std::vector<std::unique_ptr<AnimationRecord>> animations;
  std::vector<SURFHANDLE> textures;
};

// Motion of a vessel relative to its reference body, in global axes.
struct Kinematics {
  Body *ref = nullptr;
  VECTOR3 rpos{0, 0, 0};                // m
  VECTOR3 rvel{0, 0, 0};                // m/s
  MATRIX3 R{1, 0, 0, 0, 1, 0, 0, 0, 1}; // vessel to global axes
  VECTOR3 omega{0, 0, 0};               // angular velocity, vessel frame, rad/s
};

struct VesselState {
  Kinematics kin;
  bool landed = false;                 // standing fixed on the rotating surface
  VECTOR3 landed_surface_pos{0, 0, 0}; // body-fixed position while landed
  MATRIX3 landed_surface_R{1, 0, 0, 0, 1,
                           0, 0, 0, 1}; // body-fixed attitude while landed
  bool ground_contact = false;
  bool in_flight_since_contact =
      true; // airborne long enough that the next contact is a touchdown
  double airborne_time = 0; // s without ground contact
  double rest_time =
      0; // s at rest on the ground; long enough and the vessel becomes landed
  bool navmode[8] = {}; // indexed by mode number
  // Quantities of the last physics step, for queries and telemetry.
  double drag = 0; // N, magnitude of the vessel's total drag force
  VECTOR3 force_local{
      0, 0, 0}; // total non-gravitational force on the composite, root frame, N
};

struct Vessel {
  std::string name;
  std::string class_name;
  ModuleRecord *module = nullptr; // null for host-native classes
  VESSEL *iface = nullptr;        // the module's object
  VesselConfig config;
  VesselState state;
  std::string created_by; // creator's name, empty from a scenario
  bool alive = true;
  bool configured =
      false; // clbkSetClassCaps has returned: later changes are reported
  bool post_creation_pending = true;
  unsigned slot = 0, generation = 0;

  double Mass() const;
  double PropellantMass() const;
  // The root of the attachment tree this vessel belongs to (itself if free).
  Vessel *Root();
  Vessel *Parent();
  VESSEL2 *Callbacks() const {
    return iface && iface->Version() >= 2 ? static_cast<VESSEL2 *>(iface)
                                          : nullptr;
  }
};

} // namespace host
