#pragma once

#include "platform/message_box.h"

namespace ramulet::win32 {

// The platform's modal message boxes, owned by the window that is active on
// the calling thread.
class Win32MessageBoxes : public MessageBoxes {
 public:
  Answer Show(std::u16string_view text, std::optional<std::u16string_view> title, Buttons buttons,
              Icon icon) override;
};

}  // namespace ramulet::win32
