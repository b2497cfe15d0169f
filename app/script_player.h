// Plays a key script into a world: each command at the first step boundary at or after its time.
#pragma once

#include <cstddef>

#include "key_script.h"
#include "world.h"

namespace app {

class ScriptPlayer {
 public:
  explicit ScriptPlayer(const host::KeyScript& script) : script_(script) {}

  // Applies every command due at the world's time, in script order. A command that names a
  // vessel which does not exist at that moment is reported as a warning event and skipped.
  // Throws HostError (73) if a save cannot be written.
  void ApplyDue(host::World& world);

  // Commands not applied yet (those after the end of the run).
  std::size_t Remaining() const { return script_.commands.size() - next_; }

 private:
  void Apply(host::World& world, const host::KeyCommand& c);

  const host::KeyScript& script_;
  std::size_t next_ = 0;
};

}  // namespace app
