// Progress of a run on standard error.
#pragma once

#include <chrono>

#include "options.h"

namespace app {

class Progress {
 public:
  // Auto shows a bar only when standard error is a terminal.
  Progress(ProgressMode mode, double total);
  ~Progress();
  // Redraws the bar for simulation time t, at most a few times a second.
  void Update(double t);
  // Takes the bar off its line so that other output can be written there.
  void Clear();
  // Draws the final state and ends the line.
  void Finish(double t);

 private:
  void Draw(double t);

  bool enabled_ = false;
  bool shown_ = false;
  double total_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace app
