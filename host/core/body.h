// Celestial bodies: the Sun and the planets the vessels fly around.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "types.h"

namespace host {

class Atmosphere;

struct Body {
  std::string name;
  double gm = 0;                // m^3/s^2
  double radius = 0;            // mean radius, m
  double sidereal_period = 0;   // s; 0: not rotating
  double soi = 0;               // sphere-of-influence radius, m; 0: unbounded
  VECTOR3 pole{0, 1, 0};        // rotation axis, global frame (unit)
  double rotation_at_j2000 = 0; // rotation angle at MJD 51544.5, rad
  std::shared_ptr<const Atmosphere> atmosphere; // null: airless
  int ephemeris = -1; // which ephemeris places it; -1: fixed at the origin

  // Updated at each step from the date.
  VECTOR3 pos{0, 0, 0}; // global, m
  VECTOR3 vel{0, 0, 0}; // global, m/s
  double rotation = 0;  // current rotation angle about the pole, rad

  // Ephemeris samples at the two ends of the hour that holds the date (a pure function of the
  // date, so stepping stays deterministic); positions in between are cubic Hermite.
  struct Sample {
    double mjd = -1e300;
    VECTOR3 pos{0, 0, 0}, vel{0, 0, 0};
  };
  Sample sample[2];

  double AngularRate() const; // rad/s
  // Body-fixed to global axes at the current rotation.
  MATRIX3 Orientation() const;
  // Velocity of the body-fixed frame at a point relative to the centre (global
  // axes).
  VECTOR3 SurfaceVelocity(const VECTOR3 &rpos) const;
};

// The bodies of the solar system the host knows: Sun, Earth, Mars.
std::vector<Body> SolarSystem();

// Places every body at the given modified Julian date.
void UpdateBodies(std::vector<Body> &bodies, double mjd);

} // namespace host
