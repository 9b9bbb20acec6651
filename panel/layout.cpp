#include "panel/layout.h"

#include <cmath>

namespace ramulet {

const ControlDesign& DesignOf(std::string_view name) {
  for (const ControlDesign& design : kPanelDesign) {
    if (design.name == name) return design;
  }
  return kPanelDesign[0];
}

int32_t TwipsToPixels(double twips, int32_t pixels_per_inch) {
  return static_cast<int32_t>(std::lround(twips * pixels_per_inch / kTwipsPerInch));
}

double PixelsToTwips(int32_t pixels, int32_t pixels_per_inch) {
  return static_cast<double>(pixels) * kTwipsPerInch / pixels_per_inch;
}

}  // namespace ramulet
