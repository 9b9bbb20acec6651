#pragma once

#include "panel/controls.h"
#include "plugin/controls/child_window.h"

namespace ramulet::win32 {

// ListBox1 and ListBox2: unsorted single-selection list boxes; a selection
// by the user (LBN_SELCHANGE) runs the click handler.
class Win32ListBox : public ListBox, public ChildWindow {
 public:
  Win32ListBox(const char* name, const ScreenUnits& units) : ChildWindow(DesignOf(name), units) {}
  Status Create(HWND parent);

  Status SetWidth(float twips) override { return SetWidthTwips(twips); }
  float Width() const override { return WidthTwips(); }
  Status Clear() override;
  Status AddItem(std::u16string_view text) override;
  int32_t ItemCount() const override;
  std::u16string Item(int32_t position) const override;
  int32_t ListIndex() const override;
  std::u16string SelectedText() const override { return Item(ListIndex()); }
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  void HandleCommand(WORD code);

 private:
  EventHandler on_click_;
};

}  // namespace ramulet::win32
