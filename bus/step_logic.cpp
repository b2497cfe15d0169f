// The frame logic: the rotation stop, the solar wings unfolding and tracking the Sun, the antenna
// deploying, pointing at the Earth and stowing; and the reaction-wheel rate commands.
#include <cmath>

#include "quarn_bus.h"
#include "step_rules.h"

namespace {

// Rates per second of simulation time.
constexpr double kSolarDeployRate = 0.05;     // 20 s from folded to spread
constexpr double kSolarRotationRate = 0.025;  // 9 degrees per s
constexpr double kHgaDeployRate = 0.1;        // 10 s out or in
constexpr double kHgaElevationRate = 0.1 * 0.5;
constexpr double kHgaAzimuthRate = 0.025;  // 9 degrees per s
// Reaction wheels: rate change per second, and the largest rate a command sets.
constexpr double kWheelAcceleration = 2 * kDegToRad;  // rad/s^2
constexpr double kWheelRateLimit = 10 * kDegToRad;    // rad/s

// Where the antenna points when the host knows no Earth.
constexpr VECTOR3 kNoEarthDirection = {0, 0, -1};

// Rate commands with Shift: a key raises or lowers one component of the angular velocity.
struct RateKey {
  int key;
  int axis;     // 0 x, 1 y, 2 z
  double sign;  // +1 raises, -1 lowers
};
constexpr RateKey kRateKeys[] = {
    {OAPI_KEY_NUMPAD2, 0, 1},  {OAPI_KEY_NUMPAD8, 0, -1}, {OAPI_KEY_NUMPAD1, 1, 1},
    {OAPI_KEY_NUMPAD3, 1, -1}, {OAPI_KEY_NUMPAD6, 2, 1},  {OAPI_KEY_NUMPAD4, 2, -1},
};

double& Component(VECTOR3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

}  // namespace

void quarn_bus::clbkPreStep(double, double simdt, double) {
  if (kill_rotation == 1) KillRotationStep();

  SolarStep(simdt);
  SetAnimation(anim_solar_deploy, solar_deploy);

  switch (hga_state) {
    case 0:
      hga_deploy = 0.0;
      break;
    case 1:
      hga_deploy += kHgaDeployRate * simdt;
      if (hga_deploy > 1.0) {
        hga_deploy = 1.0;
        hga_state = 2;
      }
      SetAnimation(anim_hga_deploy, hga_deploy);
      break;
    case 2:
      PointAntenna(simdt);
      SetAntennaAnimations();
      break;
    case 3:
      StowAntenna(simdt);
      SetAntennaAnimations();
      break;
    default:
      break;
  }
}

void quarn_bus::SolarStep(double simdt) {
  if (solar_state < 0) return;
  switch (solar_state) {
    case 0:
      solar_deploy = 0.0;
      break;
    case 1:
      // the array turns from the step after the wings are spread
      solar_deploy += kSolarDeployRate * simdt;
      if (solar_deploy > 1.0) {
        solar_deploy = 1.0;
        solar_state = 2;
        SpreadWingArea();
      }
      break;
    default: {
      solar_deploy = 1.0;
      // the global frame is centred on the Sun
      VECTOR3 sun;
      Global2Local(_V(0, 0, 0), sun);
      solar_rotation = bus::CircularStep(solar_rotation, bus::SolarTarget(sun, solar_state), kSolarRotationRate * simdt,
                                         bus::Closeness::kWrapped);
      SetAnimation(anim_solar_rotation, solar_rotation);
      break;
    }
  }
}

void quarn_bus::PointAntenna(double simdt) {
  hga_deploy = 1.0;

  VECTOR3 earth = kNoEarthDirection;
  if (OBJHANDLE h = oapiGetObjectByName("Earth")) {
    VECTOR3 global;
    oapiGetGlobalPos(h, &global);
    Global2Local(global, earth);
  }
  const bus::AntennaTarget target = bus::AntennaTargets(earth, hga_elevation, hga_azimuth);
  hga_elevation = bus::LinearStep(hga_elevation, target.elevation, kHgaElevationRate * simdt);
  hga_azimuth = bus::CircularStep(hga_azimuth, target.azimuth, kHgaAzimuthRate * simdt, bus::Closeness::kPlain);
}

// Azimuth home first, then elevation home, then the mount folds in.
void quarn_bus::StowAntenna(double simdt) {
  const double h_azimuth = kHgaAzimuthRate * simdt;
  hga_azimuth = hga_azimuth < 0.5 ? hga_azimuth - h_azimuth : hga_azimuth + h_azimuth;
  if (hga_azimuth < 0.0 || hga_azimuth > 1.0) hga_azimuth = 0.0;

  if (hga_azimuth == 0.0) {
    const double h_elevation = kHgaElevationRate * simdt;
    if (hga_elevation > bus::kElevationHome) {
      hga_elevation -= h_elevation;
      if (hga_elevation < bus::kElevationHome) hga_elevation = bus::kElevationHome;
    } else if (hga_elevation < bus::kElevationHome) {
      hga_elevation += h_elevation;
      if (hga_elevation > bus::kElevationHome) hga_elevation = bus::kElevationHome;
    }
  }

  if (hga_elevation == bus::kElevationHome && hga_azimuth == 0.0) {
    hga_deploy -= kHgaDeployRate * simdt;
    if (hga_deploy < 0.0) {
      hga_deploy = 0.0;
      hga_state = 0;
    }
  }
}

void quarn_bus::SetAntennaAnimations() {
  SetAnimation(anim_hga_deploy, hga_deploy);
  SetAnimation(anim_hga_elevation, hga_elevation);
  SetAnimation(anim_hga_azimuth, hga_azimuth);
}

void quarn_bus::KillRotationStep() {
  VECTOR3 w;
  GetAngularVel(w);
  w = bus::KillRotation(w, oapiGetSimStep() * kWheelAcceleration);
  SetAngularVel(w);
  if (w.x == 0 && w.y == 0 && w.z == 0) kill_rotation = 0;
}

int quarn_bus::clbkConsumeDirectKey(char* kstate) {
  VECTOR3 w;
  GetAngularVel(w);
  const double h = oapiGetSimStep() * kWheelAcceleration;
  if (!ShiftDown(kstate)) return 0;

  // a command acts only while the rate is inside the limit in its own direction
  for (const RateKey& k : kRateKeys) {
    if (!KEYDOWN(kstate, k.key)) continue;
    double& c = Component(w, k.axis);
    if (k.sign * c < kWheelRateLimit) c = k.sign * std::fmin(k.sign * c + h, kWheelRateLimit);
  }
  SetAngularVel(w);
  return 0;
}
