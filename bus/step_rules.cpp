#include "step_rules.h"

#include <cmath>

namespace bus {

namespace {

constexpr double kTwoPi = 2 * PI;
// Elevation joint: upper limit, and the largest elevation angle it reaches before the angle is
// taken from the other side.
constexpr double kElevationMax = 0.95;
constexpr double kElevationAngleMax = 120 * kDegToRad;

// An angle of atan2 moved into 0..2 pi.
double Positive(double angle) { return angle < 0 ? angle + kTwoPi : angle; }

}  // namespace

double CircularStep(double x, double t, double h, Closeness closeness) {
  const double d = t - x;
  double direction = 1;
  if (d > 0.5) direction = -1;
  if (d < 0) direction = -1;
  if (d < -0.5) direction = 1;

  double e = d;
  if (closeness == Closeness::kWrapped) {
    if (d > 0.5)
      e = d - 1;
    else if (d < -0.5)
      e = d + 1;
  }
  if (std::fabs(e) < h)
    x = t;
  else
    x += direction * h;

  const double n = std::trunc(x);
  if (x > 1)
    x -= n;
  else if (x < 0)
    x = x + 1 - n;
  return x;
}

double LinearStep(double x, double t, double h) {
  if (std::fabs(x - t) < h) return t;
  if (x < t) return x + h;
  if (x > t) return x - h;
  return x;
}

double SolarTarget(const VECTOR3& s, int solar_state) {
  const double theta = solar_state == 3 ? PI : Positive(std::atan2(-s.y, -s.z));
  return theta / kTwoPi;
}

AntennaTarget AntennaTargets(const VECTOR3& e, double elevation_now, double azimuth_now) {
  const double len = length(e);
  if (!(len > 0)) return {elevation_now, azimuth_now};
  const VECTOR3 u = e / len;

  // elevation: the direction's angle in the y-z plane, from +z towards +y, kept within -60..120
  // degrees
  double a = elevation_now;
  if (u.y != 0 || u.z != 0) {
    double alpha = Positive(std::atan2(u.y, u.z));
    if (alpha > kElevationAngleMax) alpha -= PI;
    if (alpha > kElevationAngleMax) alpha -= PI;
    a = std::fmin(alpha / PI + kElevationHome, kElevationMax);
  }

  // azimuth: the direction as the elevated dish sees it
  const double phi = PI * (a - kElevationHome);
  const double c = std::cos(phi), s = std::sin(phi);
  const VECTOR3 v = {u.x, u.y * c - u.z * s, u.y * s + u.z * c};
  const double beta = Positive(std::atan2(-v.x, -v.z));
  return {a, beta / kTwoPi};
}

VECTOR3 KillRotation(const VECTOR3& w, double h) {
  auto toward_zero = [h](double c) {
    if (std::fabs(c) < h) return 0.0;
    return c > 0 ? c - h : c + h;
  };
  return {toward_zero(w.x), toward_zero(w.y), toward_zero(w.z)};
}

}  // namespace bus
