#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"
#include "textio/text_decoding.h"

namespace ramulet {

// How a configuration's files are laid out.
enum class ConfigLayout : uint8_t {
  kDesigner,  // the designer's dump: a folder holding Configuration.xml
  kProject,   // the development tools' project: src/Configuration/Configuration.mdo
  kOldDump,   // an old-platform dump: a folder holding ГлобальныйМодуль.1s
  kOldMd,     // an old-platform configuration file (.MD, a compound file)
  kFolder,    // any other folder: every .bsl, .os and .1s file is a module
};

// "designer", "project", "old-dump", "old-md", "folder".
const char* LayoutName(ConfigLayout layout);
// Whether modules of `layout` follow the old platform's rules (a global
// module called by bare name, dialog formulas).
bool IsOldPlatform(ConfigLayout layout);

// A module as a layout reader found it, before it is read.
struct ModuleSource {
  std::string name;  // the stable name, UTF-8: "CommonModule.ОбщегоНазначения"
  std::string path;  // relative to the root, "/"-separated; a stream's path in a .MD file
  std::string kind;  // "CommonModule", "ManagerModule", "FormModule", "GlobalModule", "Module", ...
  // A global common module, or the old platform's global module.
  bool global = false;
  // Where the text comes from: the file `file` (a full path), or `bytes`
  // when the reader already holds them (the streams of a .MD file).
  std::string file;
  std::string bytes;
  Encoding encoding = Encoding::Auto;  // Cp1251 for old-platform text without a mark
  // Set when the reader could not get the module's bytes (a stream that
  // does not inflate): the module is listed with this error and no methods.
  Status read_error;
};

// A caller named outside the code: a scheduled job, an event subscription,
// a form's event or command, or a formula of an old-platform dialog.
struct NamedCaller {
  enum class Kind : uint8_t { kMetadata, kDialog };
  Kind kind = Kind::kMetadata;
  // A module's name (form events and commands, dialogs), or a name that is
  // no module: "ScheduledJob.J", "EventSubscription.S".
  std::string caller;
  // "ScheduledJob", "EventSubscription", the form event's or command's
  // name, or the dialog formula.
  std::string via;
  std::string path;  // the file (or stream) naming it, relative to the root
  int32_t line = 0;  // where the method's name stands, from 0
  int32_t column = 0;  // in characters
  // The method named: `method` of the module named `target` (form events,
  // commands and dialog formulas: the form's module; a dialog's bare call
  // falls back to the global module's exports as a bare call does).
  std::string target;
  std::string method;
};

// Everything a layout reader found under a root.
struct ConfigSources {
  ConfigLayout layout = ConfigLayout::kFolder;
  std::string root;  // as given
  std::vector<ModuleSource> modules;  // in the order of their paths (code-point order)
  std::vector<NamedCaller> named_callers;
  // What was read past (a symlink loop, an unreadable folder, a truncated
  // stream's neighbours): one readable line each, for standard error.
  std::vector<std::string> problems;
};

struct ReadOptions {
  // --global: names of global common modules, or for the old platform the
  // file of the global module.
  std::vector<std::string> globals;
  // Files larger than this are listed with an error instead of being read.
  uint64_t max_file_size = uint64_t{1} << 30;
};

// Recognises the layout under `path` (a folder, or a .MD file) and lists
// its modules and named callers. Fails only when `path` cannot be read at
// all; anything smaller is a module's read_error or a problem.
Status ReadConfigSources(const std::string& path, const ReadOptions& options, ConfigSources& sources);

}  // namespace ramulet
