#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace ramulet {

// Records every box shown and answers from a script (Yes when the script
// has run out and the box asks a question, Ok otherwise).
class ScriptedMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string text;                  // UTF-8
    std::optional<std::string> title;  // UTF-8; nullopt: no title of its own
    Buttons buttons;
    Icon icon;
  };

  Answer Show(std::u16string_view text, std::optional<std::u16string_view> title, Buttons buttons,
              Icon icon) override;

  void Answer(Answer answer) { answers_.push_back(answer); }
  const std::vector<Shown>& shown() const { return shown_; }
  void Forget() { shown_.clear(); }

 private:
  std::deque<MessageBoxes::Answer> answers_;
  std::vector<Shown> shown_;
};

}  // namespace ramulet
