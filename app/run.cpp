#include "run.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "key_script.h"
#include "mission_watch.h"
#include "outputs.h"
#include "progress.h"
#include "report.h"
#include "scenario.h"
#include "script_player.h"
#include "summary.h"
#include "telemetry.h"
#include "timeline.h"
#include "world.h"

namespace app {

namespace fs = std::filesystem;

namespace {

std::string ReadInput(const std::string& path, const char* what) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec))
    throw host::HostError(host::kExitNoInput, std::string("cannot open ") + what + " " + path +
                                                  (fs::exists(path, ec) ? ": not a file" : ": no such file"));
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad())
    throw host::HostError(host::kExitNoInput,
                          std::string("cannot read ") + what + " " + path + ": " + std::strerror(errno));
  return text;
}

// The script named on the command line, or the one beside the scenario, or none.
host::KeyScript LoadKeyScript(const RunOptions& o) {
  std::string path = o.keys;
  if (path.empty()) {
    fs::path beside = fs::path(o.scenario).replace_extension(".keys");
    std::error_code ec;
    if (!fs::exists(beside, ec)) return host::KeyScript{};
    path = beside.string();
  }
  return host::ParseKeyScript(ReadInput(path, "key script"), path);
}

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

}  // namespace

RunReport RunScenario(const RunOptions& o) {
  const auto wall_start = std::chrono::steady_clock::now();
  // inputs first: nothing is written for a run that cannot start
  host::Scenario scenario = host::ParseScenario(ReadInput(o.scenario, "scenario file"), o.scenario);
  host::KeyScript script = LoadKeyScript(o);

  // the world and its vessels too: a scenario the host cannot use writes nothing either
  host::World world({o.config_dir, o.module_dir, scenario.mjd});
  world.LoadScenario(scenario);

  RunReport report;
  report.out_dir = o.out.empty() ? (fs::path("out") / fs::path(o.scenario).stem()).string() : o.out;
  MakeDirectory(report.out_dir);
  EventFile events((fs::path(report.out_dir) / "events.jsonl").string());
  TelemetryWriter telemetry((fs::path(report.out_dir) / "telemetry.csv").string());
  Progress progress(o.progress, o.until);

  MissionWatch watch;
  auto show = [&](const host::Event& e) {
    if (o.summary) watch.OnEvent(world, e);
    events.Write(e);
    progress.Clear();
    std::printf("%s\n", FormatEventRow(e).c_str());
  };
  for (const host::Event& e : world.Events().All()) show(e);  // what the load created
  world.Events().SetListener(show);

  // the last step is shortened so that the run ends exactly at --until
  ScriptPlayer player(script);
  HudKeeper huds;
  const double tolerance = std::min(1e-6, o.dt * 1e-3);
  for (;;) {
    player.ApplyDue(world);
    telemetry.SampleDue(world);
    huds.SampleDue(world);
    progress.Update(world.SimTime());
    double left = o.until - world.SimTime();
    if (left <= tolerance) break;
    world.Step(std::min(o.dt, left));
    if (o.summary) watch.AfterStep(world);
  }
  progress.Finish(world.SimTime());
  if (player.Remaining() > 0)
    std::fprintf(stderr, "quarn: %zu key-script command(s) after t = %g s not applied\n", player.Remaining(), o.until);

  if (o.summary) report.summary = FlightSummary(watch, world);

  WriteTextFile((fs::path(report.out_dir) / "final.scn").string(), world.SaveScenario(Join(scenario.description)));
  host::Vessel* focus = world.Focus();
  WriteTextFile((fs::path(report.out_dir) / "hud.txt").string(), focus ? FormatHud(world.DrawHud(*focus)) : "");
  huds.Sample(world);
  world.Events().SetListener(nullptr);
  events.Finish();
  telemetry.Finish();
  std::fflush(stdout);

  report.end_time = world.SimTime();
  report.events = world.Events().All();

  ReportInput page;
  page.scenario = fs::path(o.scenario).stem().string();
  page.end_time = report.end_time;
  page.summary = report.summary;
  page.events = report.events;
  page.telemetry = std::move(telemetry.Data());
  page.focus = focus ? focus->name : "";
  page.huds = huds.Shots();
  WriteTextFile((fs::path(report.out_dir) / "report.html").string(), ReportHtml(page));
  report.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  return report;
}

}  // namespace app
