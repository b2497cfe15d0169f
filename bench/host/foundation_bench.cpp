// Cost of the airfoil coefficient functions and of the host's step per vessel.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "airfoil_coefficients.h"
#include "api.h"
#include "world.h"

// The capsule's constants: no lift, zero-lift drag 0.95.
const frame::AirfoilConstants kAirfoilConstants = {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, 0.95};

namespace {

void BM_VerticalLiftCoefficients(benchmark::State& state) {
  double aoa = -3.0, cl, cm, cd;
  for (auto _ : state) {
    VerticalLiftCoefficients(nullptr, aoa, 1.4, 1e6, nullptr, &cl, &cm, &cd);
    benchmark::DoNotOptimize(cd);
    aoa += 0.001;
    if (aoa > 3.0) aoa = -3.0;
  }
}
BENCHMARK(BM_VerticalLiftCoefficients);

void BM_HorizontalLiftCoefficients(benchmark::State& state) {
  double aoa = -3.0, cl, cm, cd;
  for (auto _ : state) {
    HorizontalLiftCoefficients(nullptr, aoa, 0.6, 1e6, nullptr, &cl, &cm, &cd);
    benchmark::DoNotOptimize(cd);
    aoa += 0.001;
    if (aoa > 3.0) aoa = -3.0;
  }
}
BENCHMARK(BM_HorizontalLiftCoefficients);

// Heat shields falling through the Martian air: one step of the whole world, per vessel.
void BM_HostStepPerVessel(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  host::World world({std::string(QUARN_SOURCE_DIR) + "/data/config", std::string(QUARN_BUILD_DIR) + "/lib", 61270.5});
  VESSELSTATUS vs{};
  vs.rbody = oapiGetObjectByName("Mars");
  for (int i = 0; i < n; ++i) {
    vs.rpos = {3389500.0 + 40000.0, 100.0 * i, 0};
    vs.rvel = {-50, 0, 300};
    world.CreateVessel("Shield" + std::to_string(i), "QUARN/quarn_htshld", vs);
  }
  world.FinishCreation();
  for (auto _ : state) world.Step(0.01);
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["ns_per_vessel_step"] =
      benchmark::Counter(static_cast<double>(state.iterations() * n),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HostStepPerVessel)->Arg(1)->Arg(100);

}  // namespace
