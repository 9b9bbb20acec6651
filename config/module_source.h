#pragma once

#include <string>
#include <string_view>

#include "config/config_sources.h"
#include "config/module_names.h"

namespace ramulet {

// The source of the module at `path` (relative to `root`), named `naming`.
// Its bytes are read later, from `file`. A ".1s" file is old-platform text:
// Windows-1251 unless it begins with a byte order mark, so its first bytes
// are looked at here (a file that cannot be opened gets its read_error);
// any other file's encoding is recognised when it is read.
ModuleSource MakeModuleSource(std::string_view root, std::string path, ModuleNaming naming);

// Whether the file name ends with `extension` (".bsl"), ASCII case ignored.
bool HasExtension(std::string_view name, std::string_view extension);

}  // namespace ramulet
