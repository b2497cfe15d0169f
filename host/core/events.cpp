#include "events.h"

#include <cmath>
#include <cstdio>

namespace host {

const Event::Value *Event::Find(const std::string &key) const {
  for (const auto &f : fields)
    if (f.first == key)
      return &f.second;
  return nullptr;
}

void EventLog::Emit(Event e) {
  events_.push_back(std::move(e));
  if (listener_)
    listener_(events_.back());
}

std::vector<const Event *> EventLog::Named(const std::string &name) const {
  std::vector<const Event *> out;
  for (const Event &e : events_)
    if (e.event == name)
      out.push_back(&e);
  return out;
}

void AppendJsonString(std::string &out, const std::string &s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (c < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", c);
        out += buf;
      } else {
        out += static_cast<char>(c);
      }
    }
  }
  out += '"';
}

void AppendJsonNumber(std::string &out, double v) {
  if (!std::isfinite(v)) {
    out += "null"; // JSON has no NaN or infinity; the field still says what went bad
    return;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  out += buf;
}

std::string EventToJson(const Event &e) {
  std::string out = "{\"t\":";
  AppendJsonNumber(out, e.t);
  out += ",\"event\":";
  AppendJsonString(out, e.event);
  out += ",\"vessel\":";
  AppendJsonString(out, e.vessel);
  if (e.near_body) {
    out += ",\"alt\":";
    AppendJsonNumber(out, e.alt);
    out += ",\"airspeed\":";
    AppendJsonNumber(out, e.airspeed);
  }
  for (const auto &[key, value] : e.fields) {
    out += ',';
    AppendJsonString(out, key);
    out += ':';
    if (const double *d = std::get_if<double>(&value))
      AppendJsonNumber(out, *d);
    else if (const bool *b = std::get_if<bool>(&value))
      out += *b ? "true" : "false";
    else
      AppendJsonString(out, std::get<std::string>(value));
  }
  out += '}';
  return out;
}

} // namespace host
