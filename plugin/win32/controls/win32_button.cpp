#include "plugin/win32/controls/win32_button.h"

namespace ramulet::win32 {

void Win32Button::HandleCommand(WORD code) {
  if (code == BN_CLICKED && on_click_) (void)on_click_();
}

}  // namespace ramulet::win32
