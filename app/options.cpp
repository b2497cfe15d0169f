#include "options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>

#include "paths.h"
#include "world.h"

namespace app {

int ParseCommandLine(int argc, char** argv, RunOptions& options) {
  Installation installed = FindInstallation(argc > 0 ? argv[0] : nullptr);
  options.config_dir = installed.config_dir;
  options.module_dir = installed.module_dir;

  CLI::App cli{"Flies vessel modules without a screen: loads a scenario, steps it, and writes what happened."};
  cli.name("quarn");
  cli.require_subcommand(1);

  std::string progress = "auto";
  CLI::App* run = cli.add_subcommand("run", "Run a scenario and write final.scn, events.jsonl and telemetry.csv");
  run->add_option("SCENARIO", options.scenario, "Scenario file")->required();
  run->add_option("--keys", options.keys, "Key script (default: the scenario's name with .keys, if it exists)");
  run->add_option("--until", options.until, "Seconds of simulation time to run")->capture_default_str();
  run->add_option("--dt", options.dt, "Step length in seconds")->capture_default_str();
  run->add_option("--out", options.out, "Output directory (default: out/<scenario name>)");
  run->add_option("--progress", progress, "Progress on standard error: auto (a bar on a terminal), bar or none")
      ->check(CLI::IsMember({"auto", "bar", "none"}))
      ->capture_default_str();
  run->add_option("--config", options.config_dir, "Directory of the class files (vessels/<class>.cfg)")
      ->capture_default_str();
  run->add_option("--modules", options.module_dir, "Directory of the module libraries")->capture_default_str();

  CLI::App* fly = cli.add_subcommand("fly", "Fly the reference mission and summarise it");
  fly->add_option("--out", options.out, "Output directory (default: out/mars_edl)");

  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return cli.exit(e) == 0 ? 0 : host::kExitUsage;
  }

  if (fly->parsed()) {
    options.scenario = installed.scenario_dir + "/mars_edl.scn";
    options.summary = true;
  }
  options.progress = progress == "bar"    ? ProgressMode::Bar
                     : progress == "none" ? ProgressMode::None
                                          : ProgressMode::Auto;

  const char* bad = nullptr;
  if (!std::isfinite(options.until) || options.until < 0)
    bad = "--until: expected a finite number of seconds, not negative";
  else if (!std::isfinite(options.dt) || options.dt <= 0 || options.dt > kMaxStep)
    bad = "--dt: expected a step length greater than 0 and at most 10 seconds";
  if (bad) {
    std::fprintf(stderr, "quarn: %s\nRun with --help for more information.\n", bad);
    return host::kExitUsage;
  }
  return -1;
}

}  // namespace app
