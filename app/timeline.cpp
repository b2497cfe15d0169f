#include "timeline.h"

#include <cstdio>

namespace app {

namespace {

std::string Number(double v, int significant) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.*g", significant, v);
  return buf;
}

std::string Fixed1(double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

}  // namespace

std::string EventRowHeader() {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%9s  %-10s %-16s %10s %9s  %s", "t (s)", "event", "vessel", "alt (m)", "v (m/s)",
                "details");
  return buf;
}

std::string FormatEventRow(const host::Event& e) {
  std::string alt = e.near_body ? Fixed1(e.alt) : "-";
  std::string speed = e.near_body ? Fixed1(e.airspeed) : "-";
  char head[256];
  std::snprintf(head, sizeof head, "%9.2f  %-10s %-16s %10s %9s", e.t, e.event.c_str(), e.vessel.c_str(), alt.c_str(),
                speed.c_str());
  std::string row = head;
  const char* sep = "  ";
  for (const auto& [key, value] : e.fields) {
    row += sep;
    sep = " ";
    row += key + "=";
    if (const double* d = std::get_if<double>(&value))
      row += Number(*d, 6);
    else if (const bool* b = std::get_if<bool>(&value))
      row += *b ? "true" : "false";
    else
      row += std::get<std::string>(value).empty() ? "\"\"" : std::get<std::string>(value);
  }
  return row;
}

}  // namespace app
