#include "plugin/controls/win32_list_box.h"

#include "plugin/controls/list_text.h"
#include "plugin/controls/wide_text.h"

namespace ramulet::win32 {

Status Win32ListBox::Create(HWND parent) {
  return ChildWindow::Create(parent, L"LISTBOX",
                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP);
}

Status Win32ListBox::Clear() {
  SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
  return Status::Ok();
}

Status Win32ListBox::AddItem(std::u16string_view text) {
  std::wstring entry = ToWide(text);
  LRESULT added = SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  if (added == LB_ERRSPACE) return Status::Error(Status::kOutOfMemory, "В списке нет места для новых строк");
  if (added < 0) return Status::Error(Status::kFail, "Список не принял строку");
  return Status::Ok();
}

int32_t Win32ListBox::ItemCount() const {
  LRESULT count = SendMessageW(hwnd(), LB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int32_t>(count);
}

std::u16string Win32ListBox::Item(int32_t position) const {
  return ListEntryText(hwnd(), position, LB_GETTEXTLEN, LB_GETTEXT);
}

int32_t Win32ListBox::ListIndex() const {
  LRESULT index = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int32_t>(index);
}

void Win32ListBox::HandleCommand(WORD code) {
  if (code == LBN_SELCHANGE && on_click_) (void)on_click_();
}

}  // namespace ramulet::win32
