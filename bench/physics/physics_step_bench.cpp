// The whole world step (module callbacks and flight dynamics) with the real modules, as
// vessel-steps per second on one core, and the allocations per step (every operator new in the
// timed loop is counted).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "../allocation_counter.h"
#include "atmosphere.h"
#include "math3.h"
#include "scenario.h"
#include "world.h"

using bench::g_allocations;

namespace {

constexpr int kVessels = 32;
constexpr double kStep = 0.01;

enum class Scene {
  Orbit,    // heat shields in low Mars orbit: gravity and the integrator
  Descent,  // heat shields falling through a deep test atmosphere: drag as well
  Landed,   // towers standing on Mars: the landed hold and the tower's two passes per step
  Contact,  // heat shields resting on their points, kept awake by a navigation mode: the contact
            // solve every step
  Bus,      // buses in Mars orbit tracking Sun and Earth with wings and antenna
  Lander,   // landers whose descent is over (their pre-step holds the engines at 0) in Mars
            // orbit, held level with the horizon by the navigation mode on their clusters
};

bool HaveModule(const char* name) {
  return std::filesystem::exists(std::string(QUARN_BUILD_DIR) + "/lib/" + name + ".so");
}

VECTOR3 Up(host::Body& b, double lat, double lon) {
  return host::Mul(b.Orientation(),
                   VECTOR3{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)});
}

void Populate(host::World& world, Scene scene) {
  host::Body& mars = *world.FindBody("Mars");
  if (scene == Scene::Lander) {
    // landers come from scenario lines that say their descent is over
    std::string text = "BEGIN_SHIPS\n";
    for (int i = 0; i < kVessels; ++i)
      text += "V" + std::to_string(i) +
              ":QUARN/quarn_vlqn\n  STATUS Orbiting Mars\n  RPOS 3700000 0 0\n  DSC 3 2 0.0\nEND\n";
    world.LoadScenario(host::ParseScenario(text + "END_SHIPS\n", "landers.scn"));
  }
  if (scene == Scene::Descent) mars.atmosphere = host::ExponentialAtmosphere(0.02, 0, 210, 3e6);
  for (int i = 0; i < kVessels; ++i) {
    double lat = 0.5 * std::sin(i * 1.3), lon = 0.37 * i;
    VECTOR3 up = Up(mars, lat, lon), east = unit(crossp(mars.pole, up));
    VESSELSTATUS vs{};
    vs.rbody = world.BodyHandle(mars);
    vs.fuel = 1;
    std::string name = "V" + std::to_string(i);
    if (scene == Scene::Landed) {
      vs.rpos = up * mars.radius;
      vs.status = 1;
      world.CreateVessel(name, "brakkatower", vs);
      continue;
    }
    const char* cls = scene == Scene::Bus      ? "QUARN/quarn_bus"
                      : scene == Scene::Lander ? "QUARN/quarn_vlqn"
                                               : "QUARN/quarn_htshld";
    double alt = scene == Scene::Orbit || scene == Scene::Bus || scene == Scene::Lander ? 300000
                 : scene == Scene::Descent                                              ? 2.5e6
                 : scene == Scene::Contact                                              ? 0.2
                                                                                        : 3000;
    VECTOR3 r = up * (mars.radius + alt);
    VECTOR3 v = alt == 300000 ? east * std::sqrt(mars.gm / length(r)) : mars.SurfaceVelocity(r);
    vs.rpos = r;
    vs.rvel = v;
    host::Vessel& vessel = scene == Scene::Lander ? *world.FindByName(name) : world.CreateVessel(name, cls, vs);
    MATRIX3 R = host::FromCols(crossp(up, east), up, east);  // level, nose east
    if (scene == Scene::Contact) {
      R = host::FromCols(east, crossp(-up, east), -up);  // heat-shield side down
      world.Place(vessel, mars, r, v, R, host::TMul(R, mars.pole * mars.AngularRate()));
      vessel.iface->ActivateNavmode(NAVMODE_HLEVEL);
      continue;
    }
    world.Place(vessel, mars, r, v, R, {0.01 * (i % 3), 0.0, 0.02});
    if (scene == Scene::Lander) vessel.iface->ActivateNavmode(NAVMODE_HLEVEL);
    if (scene == Scene::Bus) {
      // wings out and antenna deployed: the full pre-step runs
      vessel.iface->SetThrusterGroupLevel(THGROUP_MAIN, 0.0);
      for (int key : {OAPI_KEY_G, OAPI_KEY_K}) world.PressKey(vessel, key);
    }
  }
  world.FinishCreation();
}

void WorldStep(benchmark::State& state, Scene scene, const char* module) {
  if (!HaveModule(module)) {
    state.SkipWithError((std::string(module) + " is not built").c_str());
    return;
  }
  host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
  Populate(world, scene);
  // warm: buffers grown, motions under way, and the buses' wings spread (20 s), since each edit
  // of their area is a `config` event the host records
  const int warm_steps = scene == Scene::Bus ? 2100 : 300;
  for (int i = 0; i < warm_steps; ++i) world.Step(kStep);

  long allocations = g_allocations.load();
  for (auto _ : state) world.Step(kStep);
  allocations = g_allocations.load() - allocations;
  const double steps = static_cast<double>(state.iterations());
  state.counters["vessel_steps_per_s"] = benchmark::Counter(steps * kVessels, benchmark::Counter::kIsRate);
  state.counters["allocs_per_step"] = allocations / steps;
  state.SetItemsProcessed(state.iterations() * kVessels);
}

BENCHMARK_CAPTURE(WorldStep, orbit_heatshields, Scene::Orbit, "quarn_heatshield");
BENCHMARK_CAPTURE(WorldStep, descent_heatshields, Scene::Descent, "quarn_heatshield");
BENCHMARK_CAPTURE(WorldStep, landed_towers, Scene::Landed, "brakka_tower");
BENCHMARK_CAPTURE(WorldStep, resting_heatshields, Scene::Contact, "quarn_heatshield");
BENCHMARK_CAPTURE(WorldStep, orbit_buses, Scene::Bus, "quarn_bus");
BENCHMARK_CAPTURE(WorldStep, levelled_landers, Scene::Lander, "quarn_velquin");

}  // namespace
