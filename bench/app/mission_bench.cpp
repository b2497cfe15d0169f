// The whole reference mission, 900 s from the approach to everything resting on the ground, as
// the host flies it: the rate is simulated seconds per wall-clock second (the goal is 1000 or
// more). The crew's three keys are pressed as the mission's key script does.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "scenario.h"
#include "world.h"

namespace {

constexpr double kStep = 0.01;     // s, quarn's default
constexpr double kDuration = 900;  // s, quarn's default run
constexpr int kSteps = static_cast<int>(kDuration / kStep);

struct KeyPress {
  int step;
  int key;
};
// G (wings) at 1 s, K (antenna) at 2 s, J (capsule release) at 10 s
constexpr KeyPress kKeys[] = {{100, OAPI_KEY_G}, {200, OAPI_KEY_K}, {1000, OAPI_KEY_J}};

void Mission(benchmark::State& state) {
  std::ifstream in(std::string(QUARN_SOURCE_DIR) + "/data/scenarios/mars_edl.scn");
  std::stringstream text;
  text << in.rdbuf();
  const host::Scenario scenario = host::ParseScenario(text.str(), "mars_edl.scn");

  std::size_t vessels_at_end = 0;
  for (auto _ : state) {
    host::World world(
        {std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", scenario.mjd});
    world.LoadScenario(scenario);
    std::size_t next_key = 0;
    for (int i = 0; i < kSteps; ++i) {
      while (next_key < std::size(kKeys) && kKeys[next_key].step == i) {
        if (host::Vessel* focus = world.Focus()) world.PressKey(*focus, kKeys[next_key].key);
        ++next_key;
      }
      world.Step(kStep);
    }
    vessels_at_end = world.VesselCount();
  }
  if (vessels_at_end != 4) state.SkipWithError("the mission did not make its four vessels");
  state.counters["sim_s_per_wall_s"] =
      benchmark::Counter(kDuration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(Mission)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
