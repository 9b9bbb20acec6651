#include "plugin/controls/list_text.h"

#include <vector>

namespace ramulet::win32 {

std::u16string ListEntryText(HWND list, int position, UINT length_message, UINT text_message) {
  if (position < 0) return std::u16string();
  LRESULT length = SendMessageW(list, length_message, position, 0);
  if (length < 0) return std::u16string();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  LRESULT copied = SendMessageW(list, text_message, position, reinterpret_cast<LPARAM>(buffer.data()));
  if (copied < 0) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<size_t>(copied));
}

}  // namespace ramulet::win32
