#include "script_player.h"

#include "outputs.h"

namespace app {

namespace {

// A command is due once the world's time has reached it, up to rounding of the summed steps.
constexpr double kTimeTolerance = 1e-6;  // s

}  // namespace

void ScriptPlayer::ApplyDue(host::World& world) {
  while (next_ < script_.commands.size() && script_.commands[next_].t <= world.SimTime() + kTimeTolerance)
    Apply(world, script_.commands[next_++]);
}

void ScriptPlayer::Apply(host::World& world, const host::KeyCommand& c) {
  using host::KeyCommand;
  std::string where = script_.path + ":" + std::to_string(c.line) + ": ";
  if (c.kind == KeyCommand::Save) {
    WriteTextFile(c.path, world.SaveScenario());
    return;
  }
  if (c.kind == KeyCommand::Hold) {
    std::vector<int> keys = c.modifiers;
    keys.push_back(c.key);
    world.HoldKeys(keys, world.SimTime() + c.duration);
    return;
  }

  host::Vessel* v = c.vessel.empty() ? world.Focus() : world.FindByName(c.vessel);
  if (!v || !v->iface) {
    world.Warn(nullptr, where + (c.vessel.empty() ? std::string("no focus vessel") : "no vessel '" + c.vessel + "'") +
                            " at t = " + std::to_string(world.SimTime()) + " s; command skipped");
    return;
  }
  switch (c.kind) {
    case KeyCommand::Key:
      world.PressKey(*v, c.key, c.modifiers, c.text);
      break;
    case KeyCommand::Throttle:
      v->iface->SetThrusterGroupLevel(THGROUP_MAIN, c.level);
      break;
    case KeyCommand::Focus:
      world.SetFocus(v);
      break;
    default:
      break;
  }
}

}  // namespace app
