// What happened during a run, as events a person reads.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace host {

struct Event {
  using Value = std::variant<double, std::string, bool>;
  double t = 0; // s since the start of the run
  std::string event;
  std::string vessel;
  bool near_body = false; // alt and airspeed are meaningful
  double alt = 0, airspeed = 0;
  std::vector<std::pair<std::string, Value>>
      fields; // in the order they were added

  Event &Add(std::string key, Value v) {
    fields.emplace_back(std::move(key), std::move(v));
    return *this;
  }
  const Value *Find(const std::string &key) const;
};

class EventLog {
public:
  using Listener = std::function<void(const Event &)>;
  void Emit(Event e);
  void SetListener(Listener l) { listener_ = std::move(l); }
  const std::vector<Event> &All() const { return events_; }
  std::vector<const Event *> Named(const std::string &name) const;

private:
  std::vector<Event> events_;
  Listener listener_;
};

// A JSON string (quoted, escaped) and a JSON number (null when not finite), appended.
void AppendJsonString(std::string &out, const std::string &s);
void AppendJsonNumber(std::string &out, double v);

// One JSON object for an event (no trailing newline).
std::string EventToJson(const Event &e);

} // namespace host
