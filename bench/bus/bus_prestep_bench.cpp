// The bus's pre-step with the wings tracking the Sun and the antenna pointing at the Earth: time
// per call, with every allocation during the calls counted. The bus stays where it was put (no
// physics step).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../allocation_counter.h"
#include "math3.h"
#include "scenario.h"
#include "world.h"

using bench::Allocations;

namespace {

constexpr double kStep = 0.01;

void TrackingPreStep(benchmark::State& state) {
  // the sound connector writes its log into the working directory
  const std::filesystem::path cwd = std::filesystem::current_path();
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "quarn-bus-bench";
  std::filesystem::create_directories(scratch);
  std::filesystem::current_path(scratch);

  {
    host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
    world.LoadScenario(
        host::ParseScenario("BEGIN_SHIPS\nBus:QUARN/quarn_bus\n  STATUS Orbiting Mars\n  RPOS 20000000 0 0\n"
                            "  ANT 2 1.0 0.6 0.3\n  SLP 2 1.0 0.2\nEND\nEND_SHIPS\n",
                            "bus.scn"));
    world.FinishCreation();
    host::Vessel& bus = *world.FindByName("Bus");
    VESSEL2* callbacks = bus.Callbacks();
    host::Body& mars = *world.FindBody("Mars");
    const host::Kinematics k = bus.state.kin;

    // batches of calls, each from a new attitude, so that the joints turn most of the time; the
    // turn itself is timed too, but spread over the batch
    constexpr int kBatch = 200;
    long allocations = 0;
    int batch = 0;
    while (state.KeepRunningBatch(kBatch)) {
      const MATRIX3 R = host::AxisAngle(unit({1, 2, 3}), 0.37 * ++batch);
      world.Place(bus, mars, k.rpos, k.rvel, R, k.omega);
      const long before = Allocations();
      for (int i = 0; i < kBatch; ++i) callbacks->clbkPreStep(0.0, kStep, 61270.5);
      allocations += Allocations() - before;
    }
    state.counters["allocations"] = static_cast<double>(allocations);
    if (allocations != 0) state.SkipWithError("the pre-step allocated memory");
  }
  std::filesystem::current_path(cwd);
}

BENCHMARK(TrackingPreStep);

}  // namespace
