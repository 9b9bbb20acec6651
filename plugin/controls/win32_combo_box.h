#pragma once

#include "panel/controls.h"
#include "plugin/controls/child_window.h"

namespace ramulet::win32 {

// Modul: an unsorted drop-down list. A pick by the user (CBN_SELCHANGE)
// runs the click handler; CB_SETCURSEL notifies nobody, so SetListIndex
// runs the click handler itself before it returns. A drop-down list has no
// editable text and so never raises the change event.
class Win32ComboBox : public ComboBox, public ChildWindow {
 public:
  explicit Win32ComboBox(const ScreenUnits& units) : ChildWindow(DesignOf("Modul"), units) {}
  Status Create(HWND parent);

  Status Clear() override;
  Status Append(std::u16string_view name) override;
  int32_t ItemCount() const override;
  std::u16string Item(int32_t position) const override;
  int32_t ListIndex() const override;
  Status SetListIndex(int16_t position) override;
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  void OnChange(EventHandler handler) override { on_change_ = std::move(handler); }
  // The drop-down list stops redrawing and updating its scroll bar for
  // each entry added; the outermost EndFill does both once.
  void BeginFill() override;
  void EndFill() override;
  void HandleCommand(WORD code);

 protected:
  int CreationHeight() const override;

 private:
  EventHandler on_click_;
  EventHandler on_change_;
  int fill_depth_ = 0;
};

}  // namespace ramulet::win32
