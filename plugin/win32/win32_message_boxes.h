#pragma once

#include <windows.h>

#include <functional>

#include "platform/message_box.h"

namespace ramulet::win32 {

// The panel's modal message boxes over MessageBoxW, owned by the panel's
// top-level window (given by `owner` at the moment a box is shown).
//
// Scripted mode, for automated tests only: when the environment variable
// RAMULET_TEST_BOX_LOG names a file, no box is shown. Each box is appended
// to that file as one UTF-8 line "caption|buttons|icon|text" (line breaks of
// the text written as \n), and a Yes/No box takes its answer from the
// comma-separated list in RAMULET_TEST_ANSWERS ("yes,no"), consuming the
// first; with no answer left it answers No.
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
