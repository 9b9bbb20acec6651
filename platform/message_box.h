#pragma once

#include <optional>
#include <string_view>

namespace ramulet {

// The panel's name: its title for the host and the title of its message
// boxes.
inline constexpr char16_t kRamuletTitle[] = u"Рамулет";

// The platform's modal message box. Tests script the answers; the Windows
// build shows real boxes.
class MessageBoxes {
 public:
  enum class Buttons { Ok, YesNo };
  enum class Icon { None, Question, Error, Information };
  enum class Answer { Ok, Yes, No };

  virtual ~MessageBoxes() = default;
  // `title` nullopt: the box carries no title of its own.
  virtual Answer Show(std::u16string_view text, std::optional<std::u16string_view> title, Buttons buttons,
                      Icon icon) = 0;
};

}  // namespace ramulet
