#include "plugin/controls/screen_units.h"

#include "panel/layout.h"

namespace ramulet::win32 {

ScreenUnits ScreenUnits::OfScreen() {
  ScreenUnits units;
  if (HDC screen = GetDC(nullptr)) {
    int x = GetDeviceCaps(screen, LOGPIXELSX);
    int y = GetDeviceCaps(screen, LOGPIXELSY);
    if (x > 0) units.pixels_per_inch_x = x;
    if (y > 0) units.pixels_per_inch_y = y;
    ReleaseDC(nullptr, screen);
  }
  return units;
}

int32_t ScreenUnits::XPixels(double twips) const { return TwipsToPixels(twips, pixels_per_inch_x); }
int32_t ScreenUnits::YPixels(double twips) const { return TwipsToPixels(twips, pixels_per_inch_y); }
float ScreenUnits::XTwips(int32_t pixels) const { return static_cast<float>(PixelsToTwips(pixels, pixels_per_inch_x)); }
float ScreenUnits::YTwips(int32_t pixels) const { return static_cast<float>(PixelsToTwips(pixels, pixels_per_inch_y)); }

}  // namespace ramulet::win32
