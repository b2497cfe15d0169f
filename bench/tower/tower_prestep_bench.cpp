// The tower's pre-step with 1,000 other vessels in the scene: both passes over the vessel list,
// reported as time per vessel examined, with every allocation during the timed loop counted.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "math3.h"
#include "world.h"
#include "../allocation_counter.h"

using bench::g_allocations;

namespace {

constexpr int kOthers = 1000;
constexpr VECTOR3 kOrigin = {2.0e9, 0, 0};  // free space, axes along the global axes
constexpr VECTOR3 kPad = {0, -5, -8};

enum class Scene {
  Spread,   // every vessel far from the pad: both passes walk the whole list
  Crowded,  // every vessel near the pad, none a launcher there: the first decides the exhaust
            // and the hold-down looks at every vessel's points
};

void TowerPreStep(benchmark::State& state, Scene scene) {
  host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
  host::Body& sun = *world.FindBody("Sun");
  VESSELSTATUS vs{};
  vs.rbody = world.BodyHandle(sun);
  vs.rpos = kOrigin;
  host::Vessel& tower = world.CreateVessel("Tower", "brakkatower", vs);
  world.Place(tower, sun, kOrigin, {0, 0, 0}, host::Identity3(), {0, 0, 0});
  for (int i = 0; i < kOthers; ++i) {
    host::Vessel& v = world.CreateVessel("Launcher" + std::to_string(i), "brakka_launcher", vs);
    // Spread: on rings 1 to 10 km out. Crowded: 20 m above the pad, their "BR" points 21 m off it.
    VECTOR3 offset = scene == Scene::Spread ? VECTOR3{1000.0 * (1 + i % 10), 0.0, 3.0 * i} : kPad + VECTOR3{0, 20, 0};
    world.Place(v, sun, kOrigin + offset, {0, 0, 0}, host::Identity3(), {0, 0, 0});
  }
  VESSEL2* callbacks = tower.Callbacks();
  const long examined = scene == Scene::Spread ? 2 * kOthers : 1 + kOthers;

  callbacks->clbkPreStep(0.0, 0.01, 61270.5);  // warm
  long allocations = g_allocations.load();
  for (auto _ : state) callbacks->clbkPreStep(0.0, 0.01, 61270.5);
  allocations = g_allocations.load() - allocations;

  if (tower.config.attachments[0]->peer) state.SkipWithError("a vessel was captured: the scene is wrong");
  state.counters["vessels_examined"] = static_cast<double>(examined);
  state.counters["per_vessel"] = benchmark::Counter(
      static_cast<double>(examined), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["allocations"] = static_cast<double>(allocations);
  if (allocations != 0) state.SkipWithError("the pre-step allocated memory");
}

BENCHMARK_CAPTURE(TowerPreStep, spread, Scene::Spread);
BENCHMARK_CAPTURE(TowerPreStep, crowded, Scene::Crowded);

}  // namespace
