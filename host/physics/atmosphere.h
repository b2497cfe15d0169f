// Atmosphere models: data of a body, each named with its public source.
#pragma once

#include <memory>

namespace host {

struct AtmosphereState {
  double density = 0;        // kg/m^3
  double pressure = 0;       // Pa
  double temperature = 0;    // K
  double speed_of_sound = 0; // m/s
};

class Atmosphere {
public:
  virtual ~Atmosphere() = default;
  // State at a height above the body's mean radius, m. Density is never
  // negative and zero above Top().
  virtual AtmosphereState At(double altitude) const = 0;
  virtual double Top() const = 0; // m
  virtual const char *Name() const = 0;
};

// Mars, default: the fact sheet's surface density 0.020 kg/m^3 with scale
// height 11.1 km, temperature from the NASA Glenn curve fit, no air above 150
// km.
std::shared_ptr<const Atmosphere> MarsExponentialAtmosphere();
// Mars, the NASA Glenn curve fit's own pressure, temperature and density.
std::shared_ptr<const Atmosphere> MarsGlennAtmosphere();
// Earth: U.S. Standard Atmosphere 1976 up to 86 km, exponential above to 1000
// km.
std::shared_ptr<const Atmosphere> EarthStandardAtmosphere();
// A test atmosphere: constant or exponential density, constant temperature.
std::shared_ptr<const Atmosphere>
ExponentialAtmosphere(double rho0, double scale_height, double temperature,
                      double top, double gamma = 1.4,
                      double gas_constant = 287.05);

} // namespace host
