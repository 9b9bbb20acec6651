#pragma once

#include <string>

#include "platform/status.h"
#include "textio/text_lines.h"

namespace ramulet::win32 {

// The module at `path` as editor text: loaded as the command line loads it
// (LoadModuleText: a byte order mark, else UTF-8, else Windows-1251) and
// its lines joined with CR LF.
Status ReadModuleFile(const std::wstring& path, std::wstring& text);

// The lines of `module_text` joined with CR LF, as the editor keeps them.
std::wstring EditorTextOf(std::u16string_view module_text);
std::wstring EditorTextOf(const TextLines& lines);

}  // namespace ramulet::win32
