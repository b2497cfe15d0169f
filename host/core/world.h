// The simulated world: bodies, vessels, time. The host's single thread drives
// it step by step; the oapi functions act on the world that is current.
#pragma once

#include <array>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "body.h"
#include "events.h"
#include "vessel_record.h"

namespace host {

class ModuleLoader;
struct ScenarioVessel;
struct Scenario;

// A failure the caller reports to the user; `code` is the quarn exit code it
// maps to.
struct HostError : std::runtime_error {
  HostError(int code_, const std::string &what)
      : std::runtime_error(what), code(code_) {}
  int code;
};

// Exit codes (sysexits).
constexpr int kExitUsage = 64, kExitDataErr = 65, kExitNoInput = 66,
              kExitUnavailable = 69, kExitSoftware = 70, kExitCantCreate = 73;

struct WorldOptions {
  std::string config_dir; // holds vessels/<class>.cfg
  std::string module_dir; // holds the module libraries
  double mjd = 61270.5;   // date at the start
};

// A text draw on the head-up display.
struct HudText {
  DWORD colour;
  int x, y;
  std::string text;
};

class World {
public:
  explicit World(WorldOptions options);
  ~World();
  World(const World &) = delete;
  World &operator=(const World &) = delete;

  // The world the oapi functions act on: the most recently constructed one
  // still alive.
  static World *Current();

  const WorldOptions &Options() const { return options_; }
  EventLog &Events() { return events_; }

  // --- Bodies
  std::vector<Body> &Bodies() { return bodies_; }
  Body *FindBody(const std::string &name);

  // --- Time
  double SimTime() const { return simt_; } // s since the start
  double SimStep() const {
    return simdt_;
  } // length of the current (or last) step
  double Mjd() const { return mjd_; }

  // --- Vessels
  // Creates a vessel of a class: loads its module, ovcInit, clbkSetClassCaps,
  // and places it from the status. clbkPostCreation runs before its first step
  // (or at FinishCreation). Throws HostError (69) when the class or its module
  // cannot be loaded.
  Vessel &CreateVessel(const std::string &name, const std::string &class_name,
                       const VESSELSTATUS &status,
                       const std::string &created_by = "");
  // Creates the vessels of a parsed scenario: set-up, the module's own lines,
  // standard lines, attachments, post-creation, focus. Throws HostError on a
  // block it cannot use.
  void LoadScenario(const Scenario &scenario);
  // Writes the whole world as scenario text, every vessel through its
  // clbkSaveState.
  std::string SaveScenario(const std::string &description = "");
  // The lines of one vessel's block as its clbkSaveState writes them.
  std::string SaveVessel(Vessel &v);
  // Runs clbkPostCreation of every vessel that still waits for it.
  void FinishCreation();
  // Marks a vessel for deletion; it goes at the end of the current step (at
  // once between steps).
  bool DeleteVessel(Vessel &v, const std::string &by = "");

  Vessel *Find(OBJHANDLE h); // null if stale or unknown
  Vessel *FindByName(const std::string &name);
  std::vector<Vessel *> Vessels(); // alive vessels in list order
  std::size_t VesselCount() const;
  Vessel *VesselByIndex(std::size_t i);
  OBJHANDLE Handle(const Vessel &v) const;
  OBJHANDLE BodyHandle(const Body &b) const;
  Body *FindBodyByHandle(OBJHANDLE h);

  // --- Focus and input
  Vessel *Focus() { return Find(focus_); }
  void SetFocus(Vessel *v);
  // A buffered key press (and release) to a vessel; modifiers held during it.
  // Returns what the vessel's key callback returned for the press.
  int PressKey(Vessel &v, int key, const std::vector<int> &modifiers = {},
               const std::string &label = "");
  // Direct keys: held keys of the keyboard state, delivered to the focus vessel
  // every step.
  void HoldKeys(const std::vector<int> &keys, double until);
  // The head-up display of a vessel as it would be drawn now.
  std::vector<HudText> DrawHud(Vessel &v, int width = 1024, int height = 768);

  // --- Attachments
  bool Attach(Vessel &parent, AttachmentRecord &parent_point, Vessel &child,
              AttachmentRecord &child_point);
  bool Detach(Vessel &parent, AttachmentRecord &parent_point, double vel);

  // --- Stepping
  // One frame: post-creations, direct keys, pre-step callbacks, physics,
  // post-step callbacks, deletions.
  void Step(double dt);

  // --- Tooling
  // Sets a vessel's state relative to a body (global axes), in free flight;
  // attached children follow.
  void Place(Vessel &v, Body &ref, const VECTOR3 &rpos, const VECTOR3 &rvel,
             const MATRIX3 &R, const VECTOR3 &omega);
  // An event stamped with the time and, near a body, the vessel's altitude and
  // airspeed; add fields, then hand it to Events().Emit.
  Event MakeEvent(const std::string &event, const Vessel *v) const;
  // Reports numerical or interface trouble as an event ("warning", with a
  // message), once per vessel and message.
  void Warn(const Vessel *v, const std::string &message);
  // Reports a change a module made to a configured vessel ("config", with op
  // and args).
  void ConfigChanged(const Vessel &v, const char *op, const std::string &args);

  ModuleLoader &Loader() { return *loader_; }
  // The vessel whose callback is running (the one that asks the host to create
  // or delete).
  Vessel *Acting() { return Find(acting_); }

private:
  Vessel &Instantiate(const std::string &name, const std::string &class_name,
                      const std::string &created_by);
  void ApplyStatus(Vessel &v, const VESSELSTATUS &status);
  void Prune();
  void Unlink(Vessel &v);

  WorldOptions options_;
  EventLog events_;
  std::unique_ptr<ModuleLoader> loader_;
  std::vector<Body> bodies_;
  std::vector<std::unique_ptr<Vessel>>
      slots_;                   // index = slot; null or dead entries are free
  std::vector<unsigned> order_; // slots of alive vessels in list order
  unsigned next_generation_ = 1;
  OBJHANDLE focus_ = nullptr;
  double simt_ = 0, simdt_ = 0, mjd_ = 0;
  double mjd_at_zero_ = 0;  // date at simulation time 0: the date follows simt without summing round-off
  bool in_step_ = false;
  std::array<char, 256> held_{};
  std::vector<std::pair<int, double>> held_until_; // key, time it is released
  std::vector<unsigned> step_order_;               // the list as a step began
  std::set<std::string> warned_;
  OBJHANDLE acting_ = nullptr;
  World *previous_ = nullptr;
};

} // namespace host
