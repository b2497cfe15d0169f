// Key scripts: timed commands that stand in for a person at the keyboard.
#pragma once

#include <string>
#include <vector>

namespace host {

struct KeyCommand {
  enum Kind { Key, Hold, Throttle, Focus, Save } kind = Key;
  double t = 0;     // s since the start
  int line = 0;     // line number in the script
  std::string text; // the key combination as written, e.g. "Shift+Num5"
  int key = 0;      // scan code of the main key (Key, Hold)
  std::vector<int> modifiers; // scan codes of the modifiers (Key, Hold)
  std::string vessel;  // target vessel; empty: the focus vessel (Key, Hold)
  double duration = 0; // Hold: seconds held
  double level = 0;    // Throttle: main group level
  std::string path;    // Save: output path
};

struct KeyScript {
  std::string path;
  std::vector<KeyCommand> commands; // in time order (stable for equal times)
};

// Parses a key script. Throws HostError (65) naming the path, the line and what
// was expected.
KeyScript ParseKeyScript(const std::string &text, const std::string &path);

// Scan code of a key name (A-Z, 0-9, Num0-Num9, Shift, RShift, Ctrl, RCtrl); -1
// if unknown.
int KeyCode(const std::string &name);

} // namespace host
