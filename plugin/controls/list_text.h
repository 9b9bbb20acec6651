#pragma once

#include <windows.h>

#include <string>

namespace ramulet::win32 {

// The text of entry `position` of a list box or combo box, through the
// control's own length and text messages; empty when there is no such entry.
std::u16string ListEntryText(HWND list, int position, UINT length_message, UINT text_message);

}  // namespace ramulet::win32
