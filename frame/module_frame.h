// The frame every vessel module carries: its entry points and its load hook.
#pragma once

#include "api.h"

// The four entry points, exported undecorated.
DLLCLBK VESSEL *ovcInit(OBJHANDLE hvessel, int flightmodel);
DLLCLBK void ovcExit(VESSEL *vessel);
DLLCLBK const char *ModuleDate();
DLLCLBK int GetModuleVersion();

namespace frame {

// Module-wide data of the frame, one copy per loaded module.
struct ModuleData {
  int module_version = 0; // cached GetModuleVersion result; 0 until first asked
  void (*exit_hook)(HINSTANCE) =
      nullptr; // the module's own unload export, if it has one
};
ModuleData &Module();

// Library load hook: reason 1 on process attach, 0 on detach. Always reports
// success.
int LibraryLoadHook(HINSTANCE instance, DWORD reason);

} // namespace frame

// The two entry points that create and destroy objects of the module's one
// vessel class.
#define QUARN_VESSEL_MODULE(CLASS)                                             \
  DLLCLBK VESSEL *ovcInit(OBJHANDLE hvessel, int flightmodel) {                \
    try {                                                                      \
      return new CLASS(hvessel, flightmodel);                                  \
    } catch (...) {                                                            \
      return nullptr;                                                          \
    }                                                                          \
  }                                                                            \
  DLLCLBK void ovcExit(VESSEL *vessel) {                                       \
    if (vessel)                                                                \
      delete static_cast<CLASS *>(vessel);                                     \
  }
