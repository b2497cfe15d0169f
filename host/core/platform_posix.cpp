// GetModuleHandleA / GetProcAddress over the POSIX dynamic loader. Neither ever
// loads a library: a module may only use what the process has already loaded.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>

#include "platform.h"

namespace {

// Finds a loaded library by file name, without loading or pinning it.
void *FindLoaded(const std::string &file) {
  void *h = dlopen(file.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (h)
    dlclose(h); // balance the reference NOLOAD took; the handle stays valid
                // while loaded
  return h;
}

} // namespace

extern "C" HMODULE GetModuleHandleA(const char *name) {
  if (!name || !*name)
    return nullptr;
  std::string n(name);
  if (void *h = FindLoaded(n))
    return h;
  // "NAME.dll" stands for the POSIX library "libNAME.so" or "NAME.so".
  std::string stem = n;
  if (stem.size() > 4 &&
      strcasecmp(stem.c_str() + stem.size() - 4, ".dll") == 0)
    stem.resize(stem.size() - 4);
  std::string dir, base = stem;
  if (auto slash = stem.rfind('/'); slash != std::string::npos) {
    dir = stem.substr(0, slash + 1);
    base = stem.substr(slash + 1);
  }
  if (void *h = FindLoaded(dir + "lib" + base + ".so"))
    return h;
  return FindLoaded(dir + base + ".so");
}

extern "C" FARPROC GetProcAddress(HMODULE module, const char *name) {
  if (!module || !name)
    return nullptr;
  dlerror();
  void *sym = dlsym(module, name);
  if (!sym)
    return nullptr;
  // dlsym also searches the library's dependencies; only the library's own
  // exports count.
  link_map *lm = nullptr;
  Dl_info info{};
  if (dlinfo(module, RTLD_DI_LINKMAP, &lm) != 0 || !lm || !dladdr(sym, &info))
    return nullptr;
  if (reinterpret_cast<ElfW(Addr)>(info.dli_fbase) != lm->l_addr &&
      !(info.dli_fname && lm->l_name &&
        std::strcmp(info.dli_fname, lm->l_name) == 0))
    return nullptr;
  return reinterpret_cast<FARPROC>(sym);
}
