#pragma once

#include <string>

#include "platform/status.h"

namespace ramulet::win32 {

// The module at `path` as editor text: decoded like the command line does
// (UTF-8 or UTF-16 with or without a mark, otherwise Windows-1251) and its
// lines joined with CR LF.
Status ReadModuleFile(const std::wstring& path, std::wstring& text);

// The lines of `module_text` joined with CR LF, as the editor keeps them.
std::wstring EditorTextOf(std::u16string_view module_text);

}  // namespace ramulet::win32
