// Class configuration files: data/config/vessels/<class name>.cfg binds a class
// to a module, or defines a host-native vessel.
#pragma once

#include <string>
#include <vector>

#include "types.h"

namespace host {

struct NativeThruster {
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 1};
  double max_thrust = 0, isp = 0;
};

struct NativeAttachment {
  bool toparent = true;
  VECTOR3 pos{0, 0, 0}, dir{0, -1, 0}, rot{0, 0, 1};
  std::string id;
};

struct ClassConfig {
  std::string path;
  std::string class_name;
  std::string module; // empty: a host-native vessel defined by the lines below
  // Host-native definition.
  double empty_mass = 1000, size = 1;
  VECTOR3 pmi{1, 1, 1};
  VECTOR3 cross_sections{1, 1, 1};
  double cw = 0.5;
  double propellant = 0;                      // capacity, kg (full at creation)
  std::vector<NativeThruster> main_thrusters; // form the main group
  std::vector<NativeAttachment> attachments;
  std::vector<VECTOR3> touchdown; // three points
};

// Parses a class file ("Key = value" lines, ';' starts a comment). Throws
// HostError (65) naming the path, line and what was expected.
ClassConfig ParseClassConfig(const std::string &text, const std::string &path,
                             const std::string &class_name);

// Reads <config_dir>/vessels/<class_name>.cfg. Throws HostError (69) if the
// class has no file.
ClassConfig LoadClassConfig(const std::string &config_dir,
                            const std::string &class_name);

} // namespace host
