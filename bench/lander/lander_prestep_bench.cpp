// The lander's pre-step in its guided burn: time per call, with every allocation during the
// timed loop counted. The lander stays where it was put (no physics step), so each call sees
// the same state; the pulse cycle runs on, so on and off halves alternate as in flight.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "../allocation_counter.h"
#include "math3.h"
#include "scenario.h"
#include "world.h"

using bench::g_allocations;

namespace {

constexpr double kStep = 0.01;

// A lander in its guided burn at a height, descending and drifting, a little tilted and turning.
void GuidedBurn(benchmark::State& state, double h) {
  host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
  world.LoadScenario(host::ParseScenario(
      "BEGIN_SHIPS\nVelquin:QUARN/quarn_vlqn\n  STATUS Orbiting Mars\n  RPOS 3400000 0 0\n  DSC 2 2 0.0\n"
      "END\nEND_SHIPS\n",
      "lander.scn"));
  host::Vessel& lander = *world.FindByName("Velquin");
  host::Body& mars = *world.FindBody("Mars");
  const VECTOR3 up{1, 0, 0};
  const VECTOR3 north = unit(mars.pole - up * dotp(mars.pole, up));
  const MATRIX3 R = host::Mul(host::FromCols(crossp(up, north), up, north), host::AxisAngle({1, 0, 0}, -0.05));
  const VECTOR3 r = up * (mars.radius + h);
  world.Place(lander, mars, r, mars.SurfaceVelocity(r) + host::Mul(R, VECTOR3{1.5, -12, -2}), R, {0.02, 0, -0.01});
  world.FinishCreation();
  VESSEL2* callbacks = lander.Callbacks();

  callbacks->clbkPreStep(0.0, kStep, 61270.5);  // warm: any mode switch happens here
  const std::size_t events = world.Events().All().size();
  long allocations = g_allocations.load();
  for (auto _ : state) callbacks->clbkPreStep(0.0, kStep, 61270.5);
  allocations = g_allocations.load() - allocations;

  if (world.Events().All().size() != events) state.SkipWithError("the pre-step changed a navigation mode");
  // the last call may have fallen in an off half of the pulse cycle
  for (int i = 0; i < 10 && !(lander.config.thrusters[0]->level > 0); ++i) callbacks->clbkPreStep(0.0, kStep, 61270.5);
  if (!(lander.config.thrusters[0]->level > 0)) state.SkipWithError("the lander is not firing: the scene is wrong");
  state.counters["allocations"] = static_cast<double>(allocations);
  if (allocations != 0) state.SkipWithError("the pre-step allocated memory");
}

// Far above the ground, and within the horizon-level band (the mode is on and stays on).
BENCHMARK_CAPTURE(GuidedBurn, high, 100.0);
BENCHMARK_CAPTURE(GuidedBurn, level_mode_band, 4.0);

}  // namespace
