// ModuleDate, GetModuleVersion and the library load hook.
#include <dlfcn.h>

#include "module_frame.h"

namespace frame {

ModuleData &Module() {
  static ModuleData data;
  return data;
}

int LibraryLoadHook(HINSTANCE instance, DWORD reason) {
  switch (reason) {
  case 1: {
    InitLib(instance);
    FARPROC hook = GetProcAddress(static_cast<HMODULE>(instance), "ExitModule");
    if (!hook)
      hook = GetProcAddress(static_cast<HMODULE>(instance), "opcDLLExit");
    Module().exit_hook = reinterpret_cast<void (*)(HINSTANCE)>(hook);
    break;
  }
  case 0:
    if (Module().exit_hook)
      Module().exit_hook(instance);
    break;
  default:
    break;
  }
  return 1;
}

namespace {

// The module's own library handle. Looked up without loading anything and
// released at once, so the handle never pins the library; it stays valid while
// the library is loaded.
HINSTANCE OwnInstance() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void *>(&OwnInstance), &info) || !info.dli_fname)
    return nullptr;
  void *handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle)
    dlclose(handle);
  return handle;
}

HINSTANCE g_instance = nullptr;

__attribute__((constructor)) void OnLoad() {
  g_instance = OwnInstance();
  LibraryLoadHook(g_instance, 1);
}

__attribute__((destructor)) void OnUnload() { LibraryLoadHook(g_instance, 0); }

} // namespace
} // namespace frame

DLLCLBK const char *ModuleDate() { return __DATE__; }

DLLCLBK int GetModuleVersion() {
  // The host interface version the module was built against.
  if (frame::Module().module_version == 0)
    frame::Module().module_version = Date2Int("Aug 28 2016");
  return frame::Module().module_version;
}
