// `quarn run`: load a scenario, play its key script, step to the end, write the results.
#pragma once

#include <string>
#include <vector>

#include "events.h"
#include "options.h"

namespace app {

struct RunReport {
  std::string out_dir;
  double end_time = 0;  // s since the start
  std::vector<host::Event> events;
  std::string summary;      // the flight summary (`fly`), else empty
  double wall_seconds = 0;  // wall-clock time of the whole run, loading and writing included
};

// Throws HostError with the exit code of what went wrong.
RunReport RunScenario(const RunOptions& options);

}  // namespace app
