// Events as lines a person reads: the timeline printed during a run and the flight summary.
#pragma once

#include <string>

#include "events.h"

namespace app {

// Column titles matching FormatEventRow.
std::string EventRowHeader();

// One event: time, event, vessel, altitude and airspeed ("-" away from a body), then its own
// fields as key=value.
std::string FormatEventRow(const host::Event& e);

}  // namespace app
