#include "module_loader.h"

#include <dlfcn.h>

#include "world.h"

namespace host {

std::string ModuleFileName(const std::string &module_name) {
#if defined(_WIN32)
  return module_name + ".dll";
#else
  return module_name + ".so";
#endif
}

ModuleLoader::ModuleLoader(std::string config_dir, std::string module_dir)
    : config_dir_(std::move(config_dir)), module_dir_(std::move(module_dir)) {}

ModuleLoader::~ModuleLoader() {
  // Unload in reverse order of loading.
  for (auto it = load_order_.rbegin(); it != load_order_.rend(); ++it)
    if ((*it)->handle)
      dlclose((*it)->handle);
}

const ClassConfig &ModuleLoader::Class(const std::string &class_name) {
  auto it = classes_.find(class_name);
  if (it == classes_.end())
    it = classes_.emplace(class_name, LoadClassConfig(config_dir_, class_name))
             .first;
  return it->second;
}

ModuleRecord *ModuleLoader::ModuleFor(const std::string &class_name) {
  const ClassConfig &cfg = Class(class_name);
  if (cfg.module.empty())
    return nullptr;
  return Load(cfg.module, class_name);
}

ModuleRecord *ModuleLoader::Load(const std::string &module_name,
                                 const std::string &for_class) {
  auto it = modules_.find(module_name);
  if (it != modules_.end())
    return it->second.get();
  auto rec = std::make_unique<ModuleRecord>();
  rec->name = module_name;
  rec->path = module_dir_ + "/" + ModuleFileName(module_name);
  std::string who =
      for_class.empty() ? "module " + module_name : "class " + for_class;
  if (module_name.find('/') != std::string::npos ||
      module_name.find("..") != std::string::npos)
    throw HostError(kExitUnavailable, who + ": module name '" + module_name +
                                          "' is not a plain name");
  rec->handle = dlopen(rec->path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!rec->handle) {
    const char *err = dlerror();
    throw HostError(kExitUnavailable,
                    who + ": cannot load module library " + rec->path +
                        (err ? std::string(" (") + err + ")" : ""));
  }
  rec->ovcInit = reinterpret_cast<VESSEL *(*)(OBJHANDLE, int)>(
      dlsym(rec->handle, "ovcInit"));
  rec->ovcExit =
      reinterpret_cast<void (*)(VESSEL *)>(dlsym(rec->handle, "ovcExit"));
  if (!rec->ovcInit || !rec->ovcExit) {
    dlclose(rec->handle);
    throw HostError(kExitUnavailable, who + ": module library " + rec->path +
                                          " lacks ovcInit or ovcExit");
  }
  ModuleRecord *raw = rec.get();
  load_order_.push_back(raw);
  modules_.emplace(module_name, std::move(rec));
  return raw;
}

} // namespace host
