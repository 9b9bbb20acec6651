#include "config/old_dump_layout.h"

#include <algorithm>

#include "config/dialog_formulas.h"
#include "config/file_access.h"
#include "config/file_walk.h"
#include "config/module_names.h"
#include "config/module_source.h"
#include "textio/text_decoding.h"

namespace ramulet {

namespace {

constexpr std::string_view kDialogFile = "Форма.frm";
constexpr size_t kMaxDialog = size_t{64} << 20;

void ReadDialog(const std::string& root, const std::string& path, ConfigSources& sources) {
  std::string bytes;
  Status status = ReadFilePrefix(PathFromUtf8(JoinUtf8(root, path)), kMaxDialog, bytes);
  std::u16string text;
  if (status.ok()) status = DecodeText(bytes, StartsWithByteOrderMark(bytes) ? Encoding::Auto : Encoding::Cp1251, text);
  if (!status.ok()) {
    sources.problems.push_back(path + ": " + status.message());
    return;
  }
  AddDialogCallers(text, NameOldModule(OldFormModulePath(path)).name, path, sources.named_callers);
}

}  // namespace

void ReadOldDumpLayout(const std::string& root, ConfigSources& sources) {
  WalkResult walk =
      WalkFiles(root, [](std::string_view name) { return HasExtension(name, ".1s") || name == kDialogFile; });
  for (std::string& problem : walk.problems) sources.problems.push_back(std::move(problem));
  std::sort(walk.files.begin(), walk.files.end());
  for (std::string& file : walk.files) {
    if (!HasExtension(file, ".1s")) {
      ReadDialog(root, file, sources);
      continue;
    }
    ModuleNaming naming = NameOldModule(file);
    const bool global = naming.kind == "GlobalModule";
    sources.modules.push_back(MakeModuleSource(root, std::move(file), std::move(naming)));
    sources.modules.back().global = global;
  }
}

}  // namespace ramulet
