#include "tests/support/scripted_message_boxes.h"

#include "platform/text.h"

namespace ramulet {

MessageBoxes::Answer ScriptedMessageBoxes::Show(std::u16string_view text, std::optional<std::u16string_view> title,
                                                Buttons buttons, Icon icon) {
  Shown shown{Utf16ToUtf8(text), std::nullopt, buttons, icon};
  if (title) shown.title = Utf16ToUtf8(*title);
  shown_.push_back(std::move(shown));
  if (!answers_.empty()) {
    MessageBoxes::Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return buttons == Buttons::YesNo ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::Ok;
}

}  // namespace ramulet
