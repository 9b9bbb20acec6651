#pragma once

#include <functional>
#include <memory>
#include <new>
#include <string_view>

#include "tests/support/headless_controls.h"
#include "tests/support/scripted_message_boxes.h"

namespace ramulet {

// Headless controls and message boxes that run a hook before doing their
// work; a test makes the hook throw to see what the panel does with a C++
// exception raised inside a handler.
using ThrowHook = std::function<void()>;

class ThrowingListBox : public HeadlessListBox {
 public:
  using HeadlessListBox::HeadlessListBox;
  Status AddItem(std::u16string_view text) override {
    if (on_add) on_add();
    return HeadlessListBox::AddItem(text);
  }
  ThrowHook on_add;
};

class ThrowingTreeView : public HeadlessTreeView {
 public:
  Status ShowTree(std::shared_ptr<const CallTree> tree) override {
    if (on_show) on_show();
    return HeadlessTreeView::ShowTree(std::move(tree));
  }
  ThrowHook on_show;
};

// Throws std::bad_alloc from the next `failing_shows` boxes, as a box that
// needs memory to show its text would; records the others.
class ThrowingMessageBoxes : public ScriptedMessageBoxes {
 public:
  MessageBoxes::Answer Show(std::u16string_view text, std::optional<std::u16string_view> title, Buttons buttons,
              Icon icon) override {
    if (failing_shows > 0) {
      --failing_shows;
      throw std::bad_alloc();
    }
    return ScriptedMessageBoxes::Show(text, title, buttons, icon);
  }
  int failing_shows = 0;
};

}  // namespace ramulet
