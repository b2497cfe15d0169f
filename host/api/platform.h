// Operating-system calls the modules use to find libraries already in the
// process.
//
// On POSIX a library name "NAME.dll" stands for the shared object "libNAME.so"
// or "NAME.so" (tried in that order); GetModuleHandleA never loads a library,
// it only finds one that is already loaded (dlopen with RTLD_NOLOAD). A name
// without ".dll" is tried as given first.
#pragma once

#include "types.h"

using FARPROC = void (*)();

extern "C" {
QUARN_HOSTAPI HMODULE GetModuleHandleA(const char *name);
QUARN_HOSTAPI FARPROC GetProcAddress(HMODULE module, const char *name);
}
