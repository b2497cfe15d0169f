// The arithmetic of the bus's step logic, apart from the vessel so that it can be checked on its
// own: the two ways a state moves towards a target, the array and antenna targets, and one step
// of the rotation stop.
#pragma once

#include "api.h"

constexpr double kDegToRad = 0.017453292519943295;  // pi / 180

namespace bus {

// Home position of the antenna's elevation joint.
constexpr double kElevationHome = 0.34;

// Which difference decides that a circular step has arrived.
enum class Closeness {
  kWrapped,  // the difference the short way round (solar array)
  kPlain,    // the difference as it stands (antenna azimuth)
};

// One step of a state x towards a target t, both in turns, the shorter way around the circle,
// with step size h; the result is wrapped back into 0..1 (1.0 itself stays).
double CircularStep(double x, double t, double h, Closeness closeness);

// One step of x towards t with step size h; x = t once within h.
double LinearStep(double x, double t, double h);

// Array target in turns from the Sun's position s in bus coordinates, for a solar state of 2 or
// more; state 3 is the locked half-turn.
double SolarTarget(const VECTOR3& s, int solar_state);

struct AntennaTarget {
  double elevation;  // state of the elevation joint, at most 0.95
  double azimuth;    // turns
};

// Antenna targets from the Earth direction e in bus coordinates (any length). Along the bus's x
// axis the elevation is undefined: it holds at `elevation_now`, and the azimuth follows from it
// as usual. Without any direction (e zero) both hold where they are.
AntennaTarget AntennaTargets(const VECTOR3& e, double elevation_now, double azimuth_now);

// One step of the rotation stop: every component of w moves towards 0 by h, and stops there.
VECTOR3 KillRotation(const VECTOR3& w, double h);

}  // namespace bus
