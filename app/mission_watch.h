// What `quarn fly` follows through the reference mission: the moments of the entry and
// landing sequence, the capsule's peak loads, and where every vessel ends up.
//
// Most moments are host events (a vessel created, detached, touching down). The parachute and
// the powered descent are not: they are read from the modules' saved state lines ("CHT",
// "DSC"), the same state a saved scenario keeps, every 0.1 s of simulation time while a vessel
// still has such a moment ahead: those moments are seen up to 0.1 s late.
#pragma once

#include <string>
#include <vector>

#include "events.h"
#include "world.h"

namespace app {

// One moment of the flight, as a person reads it in the summary.
struct Moment {
  std::string what;
  std::string vessel;
  double t = 0, alt = 0, speed = 0;  // s since the start, m above the ground, airspeed m/s
};

// The largest value of a load and when it happened.
struct Peak {
  double value = 0;
  Moment when;
};

class MissionWatch {
 public:
  // Classes of the mission's vessels.
  static constexpr const char* kCapsuleClass = "QUARN/quarn_edl_capsule";
  static constexpr const char* kLanderClass = "QUARN/quarn_vlqn";
  static constexpr const char* kHeatShieldClass = "QUARN/quarn_htshld";

  static constexpr double kLineInterval = 0.1;  // s between readings of the state lines

  MissionWatch();

  void OnEvent(host::World& world, const host::Event& e);
  void AfterStep(host::World& world);

  // The moments seen so far, in time order (the sequence's order for equal times).
  std::vector<Moment> Timeline() const;
  // The moments of the sequence that have not happened.
  std::vector<std::string> Missing() const;
  const Peak& PeakDrag() const { return peak_drag_; }           // N
  const Peak& PeakDeceleration() const { return peak_decel_; }  // m/s^2, in flight
  // Whether a vessel of this name hit the ground harder than it could take.
  bool Crashed(const std::string& vessel) const;
  // The lander's first touchdown, vspeed and hspeed in m/s; false if it never touched down.
  bool LanderTouchdown(double& vspeed, double& hspeed) const;

  struct Rule;  // one moment of the sequence and how it is recognised

 private:
  struct Pending {
    const Rule* rule;
    bool seen = false;
    Moment moment;
  };

  static void Record(Pending& p, const Moment& m);

  std::vector<Pending> sequence_;
  std::vector<Moment> extra_;  // crashes and deletions, which no sequence foresees
  long next_line_check_ = 0;   // index of the next reading time on the kLineInterval grid
  Peak peak_drag_, peak_decel_;
  bool lander_touchdown_ = false;
  double lander_vspeed_ = 0, lander_hspeed_ = 0;
};

}  // namespace app
