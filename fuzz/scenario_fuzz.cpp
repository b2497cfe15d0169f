// The scenario reader and, behind it, the standard-line reader and a module's line reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "scenario.h"
#include "scenario_lines.h"
#include "world.h"

namespace {

// A module's own lines: keys of both value kinds, as the modules declare them.
struct ModuleFields {
  int state = 0, count = 0;
  double position = 0, rate = 0, angle = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  host::Scenario sc;
  try {
    sc = host::ParseScenario(text, "fuzz.scn");
  } catch (const host::HostError&) {
    return 0;
  }
  ModuleFields f;
  const frame::LineKey keys[] = {
      {"ANT", 4, {frame::Int(f.state), frame::Real(f.position), frame::Real(f.rate), frame::Real(f.angle)}},
      {"CHT", 2, {frame::Int(f.count), frame::Real(f.position)}},
      {"ET1", 1, {frame::Real(f.rate)}},
  };
  for (const host::ScenarioVessel& v : sc.vessels) {
    host::StandardLines st;
    for (const host::ScenarioLine& line : v.lines) {
      bool module_line = false;
      for (const frame::LineKey& k : keys) {
        if (line.text.size() >= 3 && line.text.compare(0, 3, k.key) == 0) {
          frame::ScanLineValues(line.text.c_str() + 3, k.values, k.count);
          module_line = true;
          break;
        }
      }
      if (!module_line) host::ParseStandardLine(line.text.c_str(), st);
    }
    // what was read can be written again
    host::FormatStandardLines(st);
    char buf[256];
    for (const frame::LineKey& k : keys) frame::FormatLineValues(buf, sizeof buf, k.values, k.count);
  }
  return 0;
}
