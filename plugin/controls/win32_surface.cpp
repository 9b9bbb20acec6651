#include "plugin/controls/win32_surface.h"

namespace ramulet::win32 {

float Win32Surface::Width() const {
  RECT client;
  if (!panel_ || !GetClientRect(panel_, &client)) return 0;
  return units_.XTwips(client.right - client.left);
}

void Win32Surface::HandleSize() {
  if (on_resize_) (void)on_resize_();
}

}  // namespace ramulet::win32
