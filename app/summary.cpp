#include "summary.h"

#include <cstdio>

#include "timeline.h"

namespace app {

std::string FlightSummary(const std::vector<host::Event>& events, double end_time) {
  std::string out = "\nFlight summary\n";
  if (events.empty()) {
    out += "  no events\n";
  } else {
    out += "  " + EventRowHeader() + "\n";
    for (const host::Event& e : events) out += "  " + FormatEventRow(e) + "\n";
  }
  char end[96];
  std::snprintf(end, sizeof end, "  %zu events; the run ended at t = %.2f s\n", events.size(), end_time);
  return out + end;
}

}  // namespace app
