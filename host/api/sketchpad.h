// Drawing surface handed to a vessel's head-up display callback.
#pragma once

#include "types.h"

namespace oapi {

class QUARN_HOSTAPI Sketchpad {
public:
  virtual ~Sketchpad() = default;
  // Sets the colour of later text, 0xBBGGRR; returns the previous colour.
  virtual DWORD SetTextColor(DWORD col) = 0;
  // Writes len characters of str at pixel position (x, y).
  virtual bool Text(int x, int y, const char *str, int len) = 0;
};

} // namespace oapi
