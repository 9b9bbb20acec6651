#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ramulet {

// The panel's design: every child control with its kind, position and size
// in twips, tab index and caption. The one place these values live.
enum class ControlKind { PushButton, TreeView, Label, ListBox, ComboBox };

struct ControlDesign {
  std::string_view name;
  ControlKind kind;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  int32_t tab_index;
  std::u16string_view caption;  // empty for controls without one
};

inline constexpr float kPanelDesignWidth = 3480;
inline constexpr float kPanelDesignHeight = 8250;
inline constexpr int32_t kTwipsPerInch = 1440;

inline constexpr std::array<ControlDesign, 7> kPanelDesign = {{
    {"CommandButton1", ControlKind::PushButton, 30, 30, 3375, 285, 1, u"Обновить"},
    {"TreeView1", ControlKind::TreeView, 45, 345, 3375, 5310, 6, u""},
    {"Label1", ControlKind::Label, 75, 5715, 2055, 255, 2, u"Вызываются процедуры:"},
    {"ListBox1", ControlKind::ListBox, 60, 5940, 3375, 1035, 4, u""},
    {"Label2", ControlKind::Label, 75, 7035, 2295, 255, 3, u"Используется в процедурах:"},
    {"ListBox2", ControlKind::ListBox, 60, 7260, 3375, 840, 5, u""},
    {"Modul", ControlKind::ComboBox, 3720, 120, 1095, 315, 0, u""},
}};

// The design of the control named `name`; the button's for an unknown name.
const ControlDesign& DesignOf(std::string_view name);

// Twips to device pixels at `pixels_per_inch`, rounded to nearest.
int32_t TwipsToPixels(double twips, int32_t pixels_per_inch);
double PixelsToTwips(int32_t pixels, int32_t pixels_per_inch);

}  // namespace ramulet
