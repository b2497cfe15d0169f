// Atmosphere models: data of a body, each named with its public source.
#pragma once

#include <memory>

namespace host {

struct AtmosphereState {
  double density = 0;         // kg/m^3
  double pressure = 0;        // Pa
  double temperature = 0;     // K
  double speed_of_sound = 0;  // m/s
  double viscosity = 0;       // dynamic viscosity, Pa s (for Reynolds numbers)
};

class Atmosphere {
 public:
  virtual ~Atmosphere() = default;
  // State at a height above the body's mean radius, m. Density is never negative, and every
  // quantity is zero above Top().
  virtual AtmosphereState At(double altitude) const = 0;
  virtual double Top() const = 0;  // m
  virtual const char* Name() const = 0;
};

// Mars, default: the NASA Mars fact sheet's surface density 0.020 kg/m^3 with its scale height
// 11.1 km; temperature from the NASA Glenn curve fit (held at its 100 km value above), for
// the speed of sound (gamma 1.29, R 191.8 J/(kg K)); no air above 150 km.
std::shared_ptr<const Atmosphere> MarsExponentialAtmosphere();
// Mars, the NASA Glenn curve fit's own pressure, temperature and density (about 0.015 kg/m^3
// at the datum); the same top and floor.
std::shared_ptr<const Atmosphere> MarsGlennAtmosphere();
// Earth: U.S. Standard Atmosphere 1976 up to 86 km, isothermal above to 1000 km (coarse).
std::shared_ptr<const Atmosphere> EarthStandardAtmosphere();
// A test atmosphere: density rho0 exp(-h / scale_height) (constant when scale_height is 0),
// constant temperature, nothing above top.
std::shared_ptr<const Atmosphere> ExponentialAtmosphere(double rho0, double scale_height, double temperature,
                                                        double top, double gamma = 1.4, double gas_constant = 287.05);

}  // namespace host
