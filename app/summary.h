// The short account of a flight that `quarn fly` ends with.
#pragma once

#include <string>
#include <vector>

#include "events.h"

namespace app {

// The events of a run in order, each with its time, altitude and speed, then the end time.
std::string FlightSummary(const std::vector<host::Event>& events, double end_time);

}  // namespace app
