#include "key_script.h"

#include <algorithm>

#include "text_input.h"
#include "types.h"
#include "world.h"

namespace host {

namespace {

struct KeyName {
  const char* name;
  int code;
};

// The simulator's keyboard scan codes.
constexpr KeyName kKeys[] = {
    {"A", 0x1E},
    {"B", 0x30},
    {"C", 0x2E},
    {"D", 0x20},
    {"E", 0x12},
    {"F", 0x21},
    {"G", 0x22},
    {"H", 0x23},
    {"I", 0x17},
    {"J", 0x24},
    {"K", 0x25},
    {"L", 0x26},
    {"M", 0x32},
    {"N", 0x31},
    {"O", 0x18},
    {"P", 0x19},
    {"Q", 0x10},
    {"R", 0x13},
    {"S", 0x1F},
    {"T", 0x14},
    {"U", 0x16},
    {"V", 0x2F},
    {"W", 0x11},
    {"X", 0x2D},
    {"Y", 0x15},
    {"Z", 0x2C},
    {"1", 0x02},
    {"2", 0x03},
    {"3", 0x04},
    {"4", 0x05},
    {"5", 0x06},
    {"6", 0x07},
    {"7", 0x08},
    {"8", 0x09},
    {"9", 0x0A},
    {"0", 0x0B},
    {"Num0", OAPI_KEY_NUMPAD0},
    {"Num1", OAPI_KEY_NUMPAD1},
    {"Num2", OAPI_KEY_NUMPAD2},
    {"Num3", OAPI_KEY_NUMPAD3},
    {"Num4", OAPI_KEY_NUMPAD4},
    {"Num5", OAPI_KEY_NUMPAD5},
    {"Num6", OAPI_KEY_NUMPAD6},
    {"Num7", OAPI_KEY_NUMPAD7},
    {"Num8", OAPI_KEY_NUMPAD8},
    {"Num9", OAPI_KEY_NUMPAD9},
    {"Shift", OAPI_KEY_LSHIFT},
    {"RShift", OAPI_KEY_RSHIFT},
    {"Ctrl", OAPI_KEY_LCONTROL},
    {"RCtrl", OAPI_KEY_RCONTROL},
};

bool IsModifier(int code) {
  return code == OAPI_KEY_LSHIFT || code == OAPI_KEY_RSHIFT || code == OAPI_KEY_LCONTROL || code == OAPI_KEY_RCONTROL;
}

constexpr const char* kCombo =
    "a key combination such as J or Shift+Num5 (keys A-Z, 0-9, Num0-Num9; modifiers Shift, RShift, Ctrl, RCtrl before "
    "the key)";

class KeyScriptReader {
 public:
  KeyScriptReader(const std::string& path) : path_(path) {}

  KeyCommand Read(const std::string& line, int number) {
    line_ = line;
    number_ = number;
    std::vector<std::string> w = text::Words(line);
    KeyCommand c;
    c.line = number;
    if (!text::ToReal(w[0], c.t) || c.t < 0) Fail("a time in seconds, finite and not negative, at the start");
    if (w.size() < 2) Fail("a command (key, hold, throttle, focus, save) after the time");
    const std::string& cmd = w[1];
    if (cmd == "key") {
      if (w.size() != 3 && w.size() != 4) Fail("T key COMBO [VESSEL]");
      c.kind = KeyCommand::Key;
      ReadCombo(w[2], c);
      if (w.size() == 4) c.vessel = w[3];
    } else if (cmd == "hold") {
      if (w.size() != 4) Fail("T hold COMBO SECONDS");
      c.kind = KeyCommand::Hold;
      ReadCombo(w[2], c);
      if (!text::ToReal(w[3], c.duration) || c.duration <= 0) Fail("a hold time in seconds, finite and positive");
    } else if (cmd == "throttle") {
      if (w.size() != 4) Fail("T throttle VESSEL LEVEL");
      c.kind = KeyCommand::Throttle;
      c.vessel = w[2];
      if (!text::ToReal(w[3], c.level) || c.level < 0 || c.level > 1) Fail("a throttle level from 0 to 1");
    } else if (cmd == "focus") {
      if (w.size() != 3) Fail("T focus VESSEL");
      c.kind = KeyCommand::Focus;
      c.vessel = w[2];
    } else if (cmd == "save") {
      if (w.size() < 3) Fail("T save PATH");
      c.kind = KeyCommand::Save;
      // the path is the rest of the line after the time and the command, so it may hold spaces
      std::size_t at = line.find(cmd, w[0].size()) + cmd.size();
      c.path = text::Trim(line.substr(at));
    } else {
      Fail("a command (key, hold, throttle, focus, save) after the time");
    }
    return c;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw HostError(kExitDataErr, text::Expected(path_, number_, what, line_));
  }

  void ReadCombo(const std::string& combo, KeyCommand& c) {
    c.text = combo;
    std::vector<int> codes;
    std::size_t b = 0;
    while (true) {
      std::size_t e = combo.find('+', b);
      std::string name = combo.substr(b, e == std::string::npos ? std::string::npos : e - b);
      int code = KeyCode(name);
      if (code < 0) Fail(kCombo);
      codes.push_back(code);
      if (e == std::string::npos) break;
      b = e + 1;
    }
    c.key = codes.back();
    codes.pop_back();
    for (int m : codes)
      if (!IsModifier(m)) Fail(kCombo);
    c.modifiers = std::move(codes);
  }

  std::string path_;
  std::string line_;
  int number_ = 0;
};

}  // namespace

int KeyCode(const std::string& name) {
  for (const KeyName& k : kKeys)
    if (text::EqualNoCase(name, k.name)) return k.code;
  return -1;
}

KeyScript ParseKeyScript(const std::string& text, const std::string& path) {
  KeyScript script;
  script.path = path;
  KeyScriptReader reader(path);
  std::vector<std::string> lines = text::Lines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int number = static_cast<int>(i + 1);
    std::string line = lines[i];
    if (text::FirstControlByte(line) >= 0)
      throw HostError(kExitDataErr, text::Expected(path, number, "a line of text", line));
    line = text::Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    script.commands.push_back(reader.Read(line, number));
  }
  std::stable_sort(script.commands.begin(), script.commands.end(),
                   [](const KeyCommand& a, const KeyCommand& b) { return a.t < b.t; });
  return script;
}

}  // namespace host
