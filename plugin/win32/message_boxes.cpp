#include "plugin/win32/message_boxes.h"

#include <string>

#include "plugin/win32/com.h"
#include "plugin/win32/com_text.h"

namespace ramulet::win32 {

namespace {

UINT IconStyle(MessageBoxes::Icon icon) {
  switch (icon) {
    case MessageBoxes::Icon::Question: return MB_ICONQUESTION;
    case MessageBoxes::Icon::Error: return MB_ICONERROR;
    case MessageBoxes::Icon::Information: return MB_ICONINFORMATION;
    case MessageBoxes::Icon::None: break;
  }
  return 0;
}

}  // namespace

MessageBoxes::Answer Win32MessageBoxes::Show(std::u16string_view text, std::optional<std::u16string_view> title,
                                             Buttons buttons, Icon icon) {
  std::u16string body(text);
  // Without a title of its own the box shows the system's default caption.
  std::u16string caption = title ? std::u16string(*title) : std::u16string();
  UINT style = (buttons == Buttons::YesNo ? MB_YESNO : MB_OK) | IconStyle(icon) | MB_TASKMODAL;
  int answer = MessageBoxW(GetActiveWindow(), WideOf(body), title ? WideOf(caption) : nullptr, style);
  if (buttons == Buttons::Ok) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

}  // namespace ramulet::win32
