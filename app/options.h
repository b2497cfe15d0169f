// The `quarn` command line: what to fly, for how long, and where the results go.
#pragma once

#include <string>

namespace app {

enum class ProgressMode { Auto, Bar, None };

struct RunOptions {
  std::string scenario;
  std::string keys;    // empty: the scenario's name with ".keys", if that file exists
  double until = 900;  // s of simulation time after the start
  double dt = 0.01;    // s, step length
  std::string out;     // empty: out/<scenario name>
  ProgressMode progress = ProgressMode::Auto;
  std::string config_dir;  // holds vessels/<class>.cfg
  std::string module_dir;  // holds the module libraries
  bool summary = false;    // end with a summary of the flight (`fly`)
};

// The step lengths a run accepts, s.
constexpr double kMaxStep = 10.0;

// Reads the command line into `options`. Returns -1 to go on, or the exit code to end with
// (0 after --help, 64 for bad usage, with the message already printed).
int ParseCommandLine(int argc, char** argv, RunOptions& options);

}  // namespace app
