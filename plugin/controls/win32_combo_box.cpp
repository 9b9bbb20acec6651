#include "plugin/controls/win32_combo_box.h"

#include <string>

#include "plugin/controls/list_text.h"
#include "plugin/controls/wide_text.h"

namespace ramulet::win32 {

namespace {

// Rows of the drop-down list below the selection field.
constexpr int kDroppedRows = 12;

}  // namespace

// Modul stays hidden at every size of the panel (it lies right of the
// design width, over the button and the tree once the panel is wider);
// choosing through it by program works the same.
Status Win32ComboBox::Create(HWND parent) {
  RAMULET_RETURN_IF_ERROR(ChildWindow::Create(parent, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP));
  ShowWindow(hwnd(), SW_HIDE);
  return Status::Ok();
}

int Win32ComboBox::CreationHeight() const { return units().YPixels(design().height) * (1 + kDroppedRows); }

Status Win32ComboBox::Clear() {
  SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
  return Status::Ok();
}

Status Win32ComboBox::Append(std::u16string_view name) {
  std::wstring entry = ToWide(name);
  LRESULT added = SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  if (added == CB_ERRSPACE) {
    return Status::Error(Status::kOutOfMemory, "В списке процедур и функций нет места для новых строк");
  }
  if (added < 0) return Status::Error(Status::kFail, "Список процедур и функций не принял строку");
  return Status::Ok();
}

void Win32ComboBox::BeginFill() {
  if (fill_depth_++ == 0) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
}

void Win32ComboBox::EndFill() {
  if (fill_depth_ == 0 || --fill_depth_ > 0) return;
  // The combo box hands the change on to its list, which then updates its
  // scroll range and repaints what the entries changed.
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

int32_t Win32ComboBox::ItemCount() const {
  LRESULT count = SendMessageW(hwnd(), CB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int32_t>(count);
}

std::u16string Win32ComboBox::Item(int32_t position) const {
  return ListEntryText(hwnd(), position, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int32_t Win32ComboBox::ListIndex() const {
  LRESULT index = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int32_t>(index);
}

Status Win32ComboBox::SetListIndex(int16_t position) {
  int32_t count = ItemCount();
  if (position < -1 || position >= count) {
    return Status::Error(Status::kInvalidArgument, "Строки " + std::to_string(position) +
                                                       " нет в списке (строк в нём: " + std::to_string(count) + ")");
  }
  SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  return on_click_ ? on_click_() : Status::Ok();
}

void Win32ComboBox::HandleCommand(WORD code) {
  if (code == CBN_SELCHANGE && on_click_) (void)on_click_();
}

}  // namespace ramulet::win32
