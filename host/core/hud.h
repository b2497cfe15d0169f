// A drawing surface that records every text draw, so the display can be shown
// without a screen.
#pragma once

#include <string>
#include <vector>

#include "sketchpad.h"
#include "world.h"

namespace host {

class RecordingSketchpad : public oapi::Sketchpad {
public:
  DWORD SetTextColor(DWORD col) override;
  bool Text(int x, int y, const char *str, int len) override;
  const std::vector<HudText> &Texts() const { return texts_; }

private:
  DWORD colour_ = 0x00FF00;
  std::vector<HudText> texts_;
};

} // namespace host
