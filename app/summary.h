// The short account of the reference mission that `quarn fly` ends with.
#pragma once

#include <string>

#include "mission_watch.h"
#include "world.h"

namespace app {

// The sequence's moments with time, altitude and airspeed; the capsule's peak loads; the
// lander's touchdown, propellant and distance from the capsule; where every vessel ended.
std::string FlightSummary(const MissionWatch& watch, host::World& world);

}  // namespace app
