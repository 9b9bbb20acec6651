#pragma once

#include <windows.h>

#include <functional>

#include "platform/message_box.h"

namespace ramulet::win32 {

// The panel's modal message boxes over MessageBoxW, owned by the panel's
// top-level window (given by `owner` at the moment a box is shown). Tests
// answer the real boxes from their own message loop.
class PanelMessageBoxes : public MessageBoxes {
 public:
  explicit PanelMessageBoxes(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  Answer Show(std::u16string_view text, std::optional<std::u16string_view> title, Buttons buttons,
              Icon icon) override;

  // The MessageBoxW style for these buttons and this icon.
  static UINT StyleOf(Buttons buttons, Icon icon);

 private:
  std::function<HWND()> owner_;
};

}  // namespace ramulet::win32
