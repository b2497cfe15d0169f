#include "hud.h"

#include <cstring>

namespace host {

DWORD RecordingSketchpad::SetTextColor(DWORD col) {
  DWORD old = colour_;
  colour_ = col;
  return old;
}

bool RecordingSketchpad::Text(int x, int y, const char *str, int len) {
  if (!str || len < 0)
    return false;
  // Never read past the string's end, whatever length the caller claims.
  std::size_t n = strnlen(str, static_cast<std::size_t>(len));
  texts_.push_back(HudText{colour_, x, y, std::string(str, n)});
  return true;
}

} // namespace host
