#include "plugin/control/win32_message_boxes.h"

#include <string>

#include "plugin/controls/wide_text.h"

namespace ramulet::win32 {

namespace {

MessageBoxes::Answer AnswerOf(int pressed) {
  switch (pressed) {
    case IDYES: return MessageBoxes::Answer::Yes;
    case IDNO: return MessageBoxes::Answer::No;
    default: return MessageBoxes::Answer::Ok;
  }
}

}  // namespace

UINT PanelMessageBoxes::StyleOf(Buttons buttons, Icon icon) {
  UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::Question: style |= MB_ICONQUESTION; break;
    case Icon::Error: style |= MB_ICONERROR; break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    case Icon::None: break;
  }
  return style;
}

MessageBoxes::Answer PanelMessageBoxes::Show(std::u16string_view text, std::optional<std::u16string_view> title,
                                             Buttons buttons, Icon icon) {
  std::wstring body = ToWide(text);
  // A box without a title of its own still needs an empty caption: a null
  // one makes MessageBoxW write "Error" there.
  std::wstring caption = title ? ToWide(*title) : std::wstring();
  HWND owner = owner_ ? owner_() : nullptr;
  int pressed = MessageBoxW(owner, body.c_str(), caption.c_str(), StyleOf(buttons, icon));
  // A box that could not be shown is no consent to go on.
  if (pressed == 0) return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  return AnswerOf(pressed);
}

}  // namespace ramulet::win32
