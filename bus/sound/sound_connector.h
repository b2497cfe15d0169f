// The bus's layer over the sound plug-in: finds the plug-in among the libraries the process has
// already loaded, obtains a connection id for a vessel, replaces a stock sound, and appends every
// failure to the log file "OrbiterSound_Log.txt" in the working directory.
//
// The plug-in is looked up as "OrbiterSound.dll"; on POSIX that name stands for an already loaded
// "libOrbiterSound.so" or "OrbiterSound.so" (see GetModuleHandleA). The connector never loads it.
//
// The plug-in handle, its function table, the wave-file name and the log count are module-wide,
// shared by every bus of the library.
#pragma once

#include "api.h"

// Size of the wave-file name buffer handed to the plug-in, terminator included.
constexpr int kSoundPathSize = 512;
// Entries written per library load at most.
constexpr int kMaxSoundLogEntries = 101;

// The connection id the plug-in gives the vessel, or -1.
int ConnectToOrbiterSoundDLL(OBJHANDLE vessel);
// The plug-in's result of replacing a stock sound, or 0 when the call cannot be made.
int SubstituteStockSound(int id, const char* name, int slot);
// Appends one log entry: a line of hyphens, then the message and the detail, each if not null.
void LogSoundError(const char* message, const char* detail);
// Copies the name into the wave-file name buffer, cut to fit; null empties it.
void ComposeSoundPath(const char* name);

// The wave-file name as last composed.
const char* SoundPath();
