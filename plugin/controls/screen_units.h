#pragma once

#include <windows.h>

#include <cstdint>

namespace ramulet::win32 {

// Twips and pixels on the screen the panel is shown on: the horizontal and
// vertical pixels per inch of the screen's device context.
struct ScreenUnits {
  int32_t pixels_per_inch_x = 96;
  int32_t pixels_per_inch_y = 96;

  static ScreenUnits OfScreen();

  int32_t XPixels(double twips) const;
  int32_t YPixels(double twips) const;
  float XTwips(int32_t pixels) const;
  float YTwips(int32_t pixels) const;
};

}  // namespace ramulet::win32
