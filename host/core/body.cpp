#include "body.h"

#include <erfa.h>

#include <cmath>

#include "atmosphere.h"
#include "math3.h"

namespace host {

namespace {

constexpr double kAU = 149597870700.0; // m (IAU 2012)
constexpr double kDay = 86400.0;       // s
constexpr double kMjdJ2000 = 51544.5;
// Obliquity of the ecliptic at J2000 (IAU 2006), rad.
constexpr double kObliquity = 84381.406 / 3600.0 * PI / 180.0;

enum Ephemeris { kEarthEpv00 = 0, kMarsPlan94 = 1 };

// ICRS (equatorial, right-handed) to host axes: rotate to the ecliptic of
// J2000, then the ecliptic x, y, z become host x, z, y.
VECTOR3 ToHost(const VECTOR3 &eq) {
  double c = std::cos(kObliquity), s = std::sin(kObliquity);
  VECTOR3 ecl{eq.x, c * eq.y + s * eq.z, -s * eq.y + c * eq.z};
  return {ecl.x, ecl.z, ecl.y};
}

VECTOR3 RaDecToIcrs(double ra_deg, double dec_deg) {
  double a = ra_deg * PI / 180, d = dec_deg * PI / 180;
  return {std::cos(d) * std::cos(a), std::cos(d) * std::sin(a), std::sin(d)};
}

// Body with an IAU pole (right ascension, declination) and prime meridian W =
// W0 + rate * days.
Body MakeBody(const char *name, double gm, double radius, double sidereal_hours,
              double ra, double dec, double w0_deg, double soi, int ephemeris) {
  Body b;
  b.name = name;
  b.gm = gm;
  b.radius = radius;
  b.sidereal_period = sidereal_hours * 3600.0;
  b.soi = soi;
  b.ephemeris = ephemeris;
  b.pole = ToHost(RaDecToIcrs(ra, dec));
  b.rotation_at_j2000 = w0_deg * PI / 180.0;
  return b;
}

} // namespace

double Body::AngularRate() const {
  return sidereal_period > 0 ? 2 * PI / sidereal_period : 0;
}

MATRIX3 Body::Orientation() const {
  // Body-fixed host axes: x toward the prime meridian on the equator, y the
  // north pole, z toward 90 degrees east. The meridian angle is counted from
  // the node of the equator on the ecliptic, not on the ICRS equator as the IAU
  // counts it: longitudes are offset by a constant, which nothing here depends
  // on.
  VECTOR3 ref = std::fabs(pole.y) < 0.99 ? VECTOR3{0, 1, 0} : VECTOR3{1, 0, 0};
  VECTOR3 node = unit(crossp(pole, ref));
  VECTOR3 east_of_node = crossp(node, pole);
  double c = std::cos(rotation), s = std::sin(rotation);
  VECTOR3 x = node * c + east_of_node * s;
  VECTOR3 z = crossp(x, pole);
  return FromCols(x, pole, z);
}

VECTOR3 Body::SurfaceVelocity(const VECTOR3 &rpos) const {
  return crossp(rpos, pole * AngularRate());
}

std::vector<Body> SolarSystem() {
  std::vector<Body> bodies;
  // Sun: IAU 2015 nominal GM and radius.
  Body sun = MakeBody("Sun", 1.32712440018e20, 6.957e8, 0, 286.13, 63.87,
                      84.176, 0, -1);
  bodies.push_back(sun);
  // Earth: GM (WGS 84), mean radius and sidereal day from the NASA Earth fact
  // sheet; pole and meridian from the IAU (pole of the ICRS, Greenwich sidereal
  // angle at J2000).
  Body earth = MakeBody("Earth", 3.986004418e14, 6.371e6, 23.9344696, 0.0, 90.0,
                        280.46061837, 9.25e8, kEarthEpv00);
  earth.atmosphere = EarthStandardAtmosphere();
  bodies.push_back(earth);
  // Mars: GM, mean radius and sidereal day from the NASA Mars fact sheet; pole
  // and prime meridian at J2000 from the IAU working group report (2009).
  Body mars = MakeBody("Mars", 4.2828e13, 3.3895e6, 24.6229, 317.68143,
                       52.88650, 176.630, 5.77e8, kMarsPlan94);
  mars.atmosphere = MarsExponentialAtmosphere();
  bodies.push_back(mars);
  return bodies;
}

namespace {

// The ephemerides change smoothly over an hour: cubic Hermite between hourly samples is good to
// well under a metre for the planets (and the Earth's monthly wobble about the Earth-Moon
// barycentre), at a small fraction of ERFA's cost per step.
constexpr double kSampleDays = 1.0 / 24.0;

void Ephemeris(const Body& b, double mjd, VECTOR3& pos, VECTOR3& vel) {
  const double d1 = 2400000.5, d2 = mjd;
  double pv[2][3] = {{0, 0, 0}, {0, 0, 0}};
  if (b.ephemeris == kEarthEpv00) {
    double pvb[2][3];
    eraEpv00(d1, d2, pv, pvb);
  } else if (b.ephemeris == kMarsPlan94) {
    eraPlan94(d1, d2, 4, pv);
  }
  pos = ToHost({pv[0][0] * kAU, pv[0][1] * kAU, pv[0][2] * kAU});
  vel = ToHost({pv[1][0] * kAU / kDay, pv[1][1] * kAU / kDay, pv[1][2] * kAU / kDay});
}

}  // namespace

void UpdateBodies(std::vector<Body>& bodies, double mjd) {
  double k = std::floor(mjd / kSampleDays);
  double t0 = k * kSampleDays, t1 = (k + 1) * kSampleDays;
  for (Body& b : bodies) {
    if (b.ephemeris < 0) {
      b.pos = b.vel = {0, 0, 0};
    } else {
      if (b.sample[0].mjd != t0 || b.sample[1].mjd != t1) {
        for (int i = 0; i < 2; ++i) {
          b.sample[i].mjd = i ? t1 : t0;
          Ephemeris(b, b.sample[i].mjd, b.sample[i].pos, b.sample[i].vel);
        }
      }
      // Hermite basis on u in [0, 1] over an interval of H seconds
      const double H = kSampleDays * kDay;
      double u = (mjd - t0) / kSampleDays, u2 = u * u, u3 = u2 * u;
      double h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = -2 * u3 + 3 * u2, h11 = u3 - u2;
      double d00 = (6 * u2 - 6 * u) / H, d10 = 3 * u2 - 4 * u + 1, d01 = (-6 * u2 + 6 * u) / H, d11 = 3 * u2 - 2 * u;
      const Body::Sample &a = b.sample[0], &c = b.sample[1];
      b.pos = a.pos * h00 + a.vel * (h10 * H) + c.pos * h01 + c.vel * (h11 * H);
      b.vel = a.pos * d00 + a.vel * d10 + c.pos * d01 + c.vel * d11;
    }
    b.rotation = std::fmod(b.rotation_at_j2000 + b.AngularRate() * (mjd - kMjdJ2000) * kDay, 2 * PI);
  }
}

}  // namespace host
