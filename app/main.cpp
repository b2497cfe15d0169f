// quarn: flies vessel modules without a screen.
#include <cstdio>
#include <exception>
#include <new>

#include "options.h"
#include "run.h"
#include "world.h"

int main(int argc, char** argv) {
  app::RunOptions options;
  if (int code = app::ParseCommandLine(argc, argv, options); code >= 0) return code;
  try {
    app::RunReport report = app::RunScenario(options);
    if (options.summary) {
      // the wall-clock figure stays out of the files, so that reruns write the same bytes
      std::printf("%s  Simulated %.1f s in %.2f s of wall-clock time (%.0f times faster)\n", report.summary.c_str(),
                  report.end_time, report.wall_seconds,
                  report.wall_seconds > 0 ? report.end_time / report.wall_seconds : 0.0);
    }
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
