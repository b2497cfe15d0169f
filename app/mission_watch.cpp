#include "mission_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "composite.h"

namespace app {

// A moment of the sequence: the first host event of a kind for a vessel of a class, or the first
// step at which a field of a vessel's saved state line holds a value.
struct MissionWatch::Rule {
  const char* what;
  const char* vessel_class;
  const char* event;     // null for a state-line moment
  const char* line_key;  // null for an event moment
  int field;             // index of the value after the key
  int value;
};

namespace {

using W = MissionWatch;

// The capsule's "CHT" line: shield, lander, chute state, chute progress, collapse state, ...
constexpr int kChuteStateField = 2, kChuteInflating = 1;
constexpr int kCollapseStateField = 4, kCollapsed = 2;
// The lander's "DSC" line: descent state first.
constexpr int kDescentStateField = 0, kPoweredDescent = 2;

// In the order the mission flies them.
const W::Rule kSequence[] = {
    {"capsule released", W::kCapsuleClass, "created", nullptr, 0, 0},
    {"lander created", W::kLanderClass, "created", nullptr, 0, 0},
    {"parachute deployed", W::kCapsuleClass, nullptr, "CHT", kChuteStateField, kChuteInflating},
    {"heat shield jettisoned", W::kHeatShieldClass, "created", nullptr, 0, 0},
    {"lander released", W::kLanderClass, "detached", nullptr, 0, 0},
    {"powered descent", W::kLanderClass, nullptr, "DSC", kDescentStateField, kPoweredDescent},
    {"lander touchdown", W::kLanderClass, "touchdown", nullptr, 0, 0},
    {"capsule touchdown", W::kCapsuleClass, "touchdown", nullptr, 0, 0},
    {"parachute collapsed", W::kCapsuleClass, nullptr, "CHT", kCollapseStateField, kCollapsed},
};

std::string ClassOf(host::World& world, const host::Event& e) {
  if (const auto* c = e.Find("class"))
    if (const auto* s = std::get_if<std::string>(c)) return *s;
  const host::Vessel* v = world.FindByName(e.vessel);
  return v ? v->class_name : std::string();
}

double Number(const host::Event& e, const char* key) {
  const auto* v = e.Find(key);
  const double* d = v ? std::get_if<double>(v) : nullptr;
  return d ? *d : 0;
}

// The integer at `field` of the saved line that starts with `key`; false if there is none.
bool LineField(const std::string& block, const char* key, int field, int& value) {
  std::istringstream lines(block);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string first;
    if (!(words >> first) || first != key) continue;
    std::string word;
    for (int i = 0; i <= field; ++i)
      if (!(words >> word)) return false;
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str()) return false;
    value = static_cast<int>(v);
    return true;
  }
  return false;
}

Moment MomentOf(const host::Event& e) { return {"", e.vessel, e.t, e.alt, e.airspeed}; }

Moment MomentNow(host::World& world, const host::Vessel& v) { return MomentOf(world.MakeEvent("", &v)); }

// What the vessel and everything it carries feel from the air (its non-gravitational force over
// the whole stack's mass) while in flight; 0 on the ground, where contact forces are no entry load.
double FlightDeceleration(host::Vessel& v) {
  if (v.state.ground_contact || v.state.landed || v.Parent()) return 0;  // a carried vessel: its carrier has it
  host::Composite stack;
  host::BuildComposite(v, stack);
  return stack.mass > 0 ? length(v.state.force_local) / stack.mass : 0;
}

}  // namespace

MissionWatch::MissionWatch() {
  for (const Rule& r : kSequence) sequence_.push_back({&r, false, {}});
}

void MissionWatch::Record(Pending& p, const Moment& m) {
  p.seen = true;
  p.moment = m;
  p.moment.what = p.rule->what;
}

void MissionWatch::OnEvent(host::World& world, const host::Event& e) {
  if (e.event == "crash" || e.event == "deleted") {
    extra_.push_back(MomentOf(e));
    extra_.back().what = e.vessel + (e.event == "crash" ? " crashed" : " deleted");
    return;
  }
  const std::string cls = ClassOf(world, e);
  if (e.event == "touchdown" && cls == kLanderClass && !lander_touchdown_) {
    lander_touchdown_ = true;
    lander_vspeed_ = Number(e, "vspeed");
    lander_hspeed_ = Number(e, "hspeed");
  }
  for (Pending& p : sequence_)
    if (!p.seen && p.rule->event && e.event == p.rule->event && cls == p.rule->vessel_class) {
      Record(p, MomentOf(e));
      break;
    }
}

void MissionWatch::AfterStep(host::World& world) {
  // saving a vessel costs microseconds, so state lines are read on a coarser grid than the steps
  const bool read_lines = world.SimTime() >= next_line_check_ * kLineInterval - 1e-6;
  if (read_lines) next_line_check_ = static_cast<long>(std::floor(world.SimTime() / kLineInterval + 1e-6)) + 1;
  for (host::Vessel* v : world.Vessels()) {
    if (!v->iface) continue;
    if (v->class_name == kCapsuleClass) {
      const double drag = v->iface->GetDrag();
      if (drag > peak_drag_.value) peak_drag_ = {drag, MomentNow(world, *v)};
      const double decel = FlightDeceleration(*v);
      if (decel > peak_decel_.value) peak_decel_ = {decel, MomentNow(world, *v)};
    }
    if (!read_lines) continue;
    std::string block;  // saved once per vessel, only while a state-line moment is ahead of it
    for (Pending& p : sequence_) {
      if (p.seen || p.rule->event || v->class_name != p.rule->vessel_class) continue;
      if (block.empty()) block = world.SaveVessel(*v);
      int value = 0;
      if (LineField(block, p.rule->line_key, p.rule->field, value) && value == p.rule->value)
        Record(p, MomentNow(world, *v));
    }
  }
}

std::vector<Moment> MissionWatch::Timeline() const {
  std::vector<Moment> out;
  for (const Pending& p : sequence_)
    if (p.seen) out.push_back(p.moment);
  out.insert(out.end(), extra_.begin(), extra_.end());
  std::stable_sort(out.begin(), out.end(), [](const Moment& a, const Moment& b) { return a.t < b.t; });
  return out;
}

std::vector<std::string> MissionWatch::Missing() const {
  std::vector<std::string> out;
  for (const Pending& p : sequence_)
    if (!p.seen) out.push_back(p.rule->what);
  return out;
}

bool MissionWatch::Crashed(const std::string& vessel) const {
  return std::any_of(extra_.begin(), extra_.end(),
                     [&](const Moment& m) { return m.vessel == vessel && m.what == vessel + " crashed"; });
}

bool MissionWatch::LanderTouchdown(double& vspeed, double& hspeed) const {
  vspeed = lander_vspeed_;
  hspeed = lander_hspeed_;
  return lander_touchdown_;
}

}  // namespace app
