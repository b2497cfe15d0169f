#include "atmosphere.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Mars CO2 atmosphere: ratio of specific heats and specific gas constant, J/(kg
// K).
constexpr double kMarsGamma = 1.29;
constexpr double kMarsGasConstant = 191.8;

// NASA Glenn Research Center, "Mars Atmosphere Model - Metric Units": T in deg C, p in kPa,
// h in m, rho = p / (0.1921 (T + 273.1)). Two temperature branches meet at 7000 m (the lower
// one holds at 7000 m itself). The fit runs toward absolute zero high up, so it is held at
// its 100 km value above.
constexpr double kGlennCeiling = 100000.0;
double GlennCelsius(double h) {
  h = std::min(h, kGlennCeiling);
  return h > 7000 ? -23.4 - 0.00222 * h : -31.0 - 0.000998 * h;
}
double GlennKelvin(double h) { return GlennCelsius(h) + 273.1; }
double GlennPressureKPa(double h) { return 0.699 * std::exp(-0.00009 * h); }

// Sutherland's law for carbon dioxide (reference 1.370e-5 Pa s at 273 K, constant 222 K).
double Co2Viscosity(double T) { return 1.370e-5 * std::pow(T / 273.0, 1.5) * (273.0 + 222.0) / (T + 222.0); }
// Sutherland's law for air (1.716e-5 Pa s at 273.15 K, constant 110.4 K).
double AirViscosity(double T) { return 1.716e-5 * std::pow(T / 273.15, 1.5) * (273.15 + 110.4) / (T + 110.4); }

constexpr double kMarsTop = 150000.0;
// Below the datum the models are extrapolated no deeper than this (m).
constexpr double kLowest = -10000.0;

class MarsExponential : public Atmosphere {
 public:
  AtmosphereState At(double h) const override {
    AtmosphereState s;
    if (h > Top()) return s;
    h = std::max(h, kLowest);
    s.temperature = GlennKelvin(h);
    s.density = 0.020 * std::exp(-h / 11100.0);
    s.pressure = s.density * kMarsGasConstant * s.temperature;
    s.speed_of_sound = std::sqrt(kMarsGamma * kMarsGasConstant * s.temperature);
    s.viscosity = Co2Viscosity(s.temperature);
    return s;
  }
  double Top() const override { return kMarsTop; }
  const char* Name() const override { return "Mars exponential (NASA fact sheet, 0.020 kg/m3, H 11.1 km)"; }
};

class MarsGlenn : public Atmosphere {
 public:
  AtmosphereState At(double h) const override {
    AtmosphereState s;
    if (h > Top()) return s;
    h = std::max(h, kLowest);
    double p_kpa = GlennPressureKPa(h);
    s.temperature = GlennKelvin(h);
    s.pressure = p_kpa * 1000.0;
    s.density = p_kpa / (0.1921 * s.temperature);
    s.speed_of_sound = std::sqrt(kMarsGamma * kMarsGasConstant * s.temperature);
    s.viscosity = Co2Viscosity(s.temperature);
    return s;
  }
  double Top() const override { return kMarsTop; }
  const char* Name() const override { return "Mars NASA Glenn curve fit"; }
};

// U.S. Standard Atmosphere 1976, layers to 84.852 km geopotential (86 km
// geometric).
class EarthStandard : public Atmosphere {
 public:
  AtmosphereState At(double z) const override {
    AtmosphereState s;
    if (z > Top()) return s;
    constexpr double r0 = 6356766.0, g0 = 9.80665, M = 0.0289644, Rstar = 8.31432;
    constexpr double R = Rstar / M;
    static const double Hb[] = {0, 11000, 20000, 32000, 47000, 51000, 71000, 84852};
    static const double Lb[] = {-0.0065, 0.0, 0.001, 0.0028, 0.0, -0.0028, -0.002, 0.0};
    static double Tb[8], Pb[8];
    static bool filled = false;
    if (!filled) {
      Tb[0] = 288.15;
      Pb[0] = 101325.0;
      for (int i = 1; i < 8; ++i) {
        double dh = Hb[i] - Hb[i - 1];
        Tb[i] = Tb[i - 1] + Lb[i - 1] * dh;
        Pb[i] = Lb[i - 1] == 0 ? Pb[i - 1] * std::exp(-g0 * dh / (R * Tb[i - 1]))
                               : Pb[i - 1] * std::pow(Tb[i - 1] / Tb[i], g0 / (R * Lb[i - 1]));
      }
      filled = true;
    }
    double zc = std::max(z, -5000.0);
    double h = r0 * zc / (r0 + zc);  // geopotential height
    if (h <= Hb[7]) {
      int i = 0;
      while (i < 6 && h > Hb[i + 1]) ++i;
      double dh = h - Hb[i];
      s.temperature = Tb[i] + Lb[i] * dh;
      s.pressure = Lb[i] == 0 ? Pb[i] * std::exp(-g0 * dh / (R * Tb[i]))
                              : Pb[i] * std::pow(Tb[i] / s.temperature, g0 / (R * Lb[i]));
    } else {
      // Above the mesopause: isothermal decay from the 86 km values (a coarse
      // stand-in for the standard's upper layers, where nothing here flies).
      s.temperature = Tb[7];
      s.pressure = Pb[7] * std::exp(-g0 * (h - Hb[7]) / (R * Tb[7]));
    }
    s.density = s.pressure / (R * s.temperature);
    s.speed_of_sound = std::sqrt(1.4 * R * s.temperature);
    s.viscosity = AirViscosity(s.temperature);
    return s;
  }
  double Top() const override { return 1000000.0; }
  const char* Name() const override { return "U.S. Standard Atmosphere 1976"; }
};

class Exponential : public Atmosphere {
 public:
  Exponential(double rho0, double H, double T, double top, double gamma, double R)
      : rho0_(rho0), H_(H), T_(T), top_(top), gamma_(gamma), R_(R) {}
  AtmosphereState At(double h) const override {
    AtmosphereState s;
    if (h > top_) return s;
    s.temperature = T_;
    s.density = H_ > 0 ? rho0_ * std::exp(-h / H_) : rho0_;
    s.pressure = s.density * R_ * T_;
    s.speed_of_sound = std::sqrt(gamma_ * R_ * T_);
    s.viscosity = AirViscosity(T_);
    return s;
  }
  double Top() const override { return top_; }
  const char* Name() const override { return "test exponential"; }

 private:
  double rho0_, H_, T_, top_, gamma_, R_;
};

}  // namespace

std::shared_ptr<const Atmosphere> MarsExponentialAtmosphere() { return std::make_shared<MarsExponential>(); }
std::shared_ptr<const Atmosphere> MarsGlennAtmosphere() { return std::make_shared<MarsGlenn>(); }
std::shared_ptr<const Atmosphere> EarthStandardAtmosphere() { return std::make_shared<EarthStandard>(); }
std::shared_ptr<const Atmosphere> ExponentialAtmosphere(double rho0, double H, double T, double top, double gamma,
                                                        double R) {
  return std::make_shared<Exponential>(rho0, H, T, top, gamma, R);
}

}  // namespace host
