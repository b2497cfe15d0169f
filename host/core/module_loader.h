// Loads vessel modules: class name -> class file -> module library -> entry
// points.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "class_config.h"
#include "vessel.h"

namespace host {

struct ModuleRecord {
  std::string name; // e.g. quarn_bus
  std::string path; // the library file
  void *handle = nullptr;
  VESSEL *(*ovcInit)(OBJHANDLE, int) = nullptr;
  void (*ovcExit)(VESSEL *) = nullptr;
};

class ModuleLoader {
public:
  ModuleLoader(std::string config_dir, std::string module_dir);
  ~ModuleLoader(); // unloads every library, so their unload hooks run

  // The class file of a class, read once. Throws HostError (69) if there is
  // none.
  const ClassConfig &Class(const std::string &class_name);
  // The module serving a class (null for a host-native class), loading its
  // library once. Throws HostError (69) naming the class and the file looked
  // for.
  ModuleRecord *ModuleFor(const std::string &class_name);
  // Loads a module by name (library <module_dir>/<name>.so).
  ModuleRecord *Load(const std::string &module_name,
                     const std::string &for_class = "");

  const std::string &ModuleDir() const { return module_dir_; }

private:
  std::string config_dir_, module_dir_;
  std::map<std::string, ClassConfig> classes_;
  std::map<std::string, std::unique_ptr<ModuleRecord>> modules_;
  std::vector<ModuleRecord *> load_order_;
};

// File name of a module library: "<name>.so" (".dll" on Windows).
std::string ModuleFileName(const std::string &module_name);

} // namespace host
