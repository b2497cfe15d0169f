// The capsule's pre-step while its parachute inflates: time per call, with every allocation
// during the timed loop counted. The capsule holds its lander at 9 km and 300 m/s and stays where
// it was put (no physics step), so every call takes the inflation path: the step, both airfoils
// edited, the animation set.
#include <benchmark/benchmark.h>

#include <string>

#include "../allocation_counter.h"
#include "math3.h"
#include "world.h"

using bench::g_allocations;

namespace {

constexpr double kFirstStep = 0.01;

// step: the step length of the timed calls. A short one keeps the canopy inflating to the end;
// the host then writes a "config" event for each airfoil edit, as in a run. A zero one runs the
// same path with airfoils that do not change, so the host has nothing to report and what is
// counted is the capsule's own.
void Inflation(benchmark::State& state, double step) {
  host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
  host::Body& mars = *world.FindBody("Mars");
  const VECTOR3 up = {1, 0, 0};
  VESSELSTATUS vs{};
  vs.rbody = world.BodyHandle(mars);
  vs.rpos = up * (mars.radius + 9000);
  host::Vessel& capsule = world.CreateVessel("KTX_Capsule", "QUARN/quarn_edl_capsule", vs);
  const VECTOR3 vel = mars.SurfaceVelocity(vs.rpos) + up * -300.0;
  world.Place(capsule, mars, vs.rpos, vel, host::Identity3(), {0, 0, 0});
  world.FinishCreation();
  VESSEL2* callbacks = capsule.Callbacks();

  // the first step makes the lander and deploys the parachute; the next one starts inflating it
  callbacks->clbkPreStep(0.0, kFirstStep, 61270.5);
  callbacks->clbkPreStep(0.0, kFirstStep, 61270.5);
  if (capsule.config.meshes[3].visibility != MESHVIS_EXTERNAL || capsule.config.attachments[0]->peer == nullptr)
    state.SkipWithError("the parachute did not deploy with the lander held: the scene is wrong");
  const double area = capsule.config.airfoils[0]->area;

  long allocations = g_allocations.load();
  for (auto _ : state) callbacks->clbkPreStep(0.0, step, 61270.5);
  allocations = g_allocations.load() - allocations;

  const double chute = capsule.config.animations[0]->state;
  if (!(chute > 0 && chute < 1)) state.SkipWithError("the parachute is not inflating");
  if (step > 0 && !(capsule.config.airfoils[0]->area > area)) state.SkipWithError("the airfoils did not grow");
  state.counters["allocations_per_call"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  if (step == 0 && allocations != 0) state.SkipWithError("the pre-step allocated memory");
}

// Every call adds two events to the host's log: a bounded run keeps it small.
BENCHMARK_CAPTURE(Inflation, as_in_a_run, 1e-9)->Iterations(20000);
BENCHMARK_CAPTURE(Inflation, capsule_alone, 0.0);

}  // namespace
