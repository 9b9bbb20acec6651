#pragma once

#include <string>

#include "config/config_sources.h"
#include "config/md/compound_file.h"
#include "platform/status.h"

namespace ramulet {

// Reads an old-platform configuration file (.MD): the global module,
// posting modules, form modules and calculation modules, named from the
// metadata stream, with their text inflated (Windows-1251 bytes, encoding
// Cp1251), and the dialog formulas of the forms as named callers. Sets
// sources.layout to kOldMd. A stream that fails to inflate becomes that
// module's read_error, naming the stream; a file that is no compound file,
// or whose metadata stream cannot be read, fails.
Status ReadMdFile(const std::string& path, ConfigSources& sources);

// The same for a compound file already open; `path` names it in messages.
Status ReadMdCompound(const CompoundFile& compound, const std::string& path, ConfigSources& sources);

}  // namespace ramulet
