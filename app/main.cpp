// quarn: flies vessel modules without a screen.
#include <cstdio>
#include <exception>
#include <new>

#include "options.h"
#include "run.h"
#include "summary.h"
#include "world.h"

int main(int argc, char** argv) {
  app::RunOptions options;
  if (int code = app::ParseCommandLine(argc, argv, options); code >= 0) return code;
  try {
    app::RunReport report = app::RunScenario(options);
    if (options.summary) std::printf("%s", app::FlightSummary(report.events, report.end_time).c_str());
    return 0;
  } catch (const host::HostError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "quarn: %s\n", e.what());
    return e.code;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quarn: out of memory\n");
    return host::kExitSoftware;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quarn: internal error: %s\n", e.what());
    return host::kExitSoftware;
  }
}
