#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

// A module's stable name and kind, as every face shows them.
struct ModuleNaming {
  std::string name;  // "Catalog.Валюты.ManagerModule"
  std::string kind;  // "ManagerModule"
};

// The singular of a metadata folder of either platform ("Catalogs" →
// "Catalog", "Документы" → "Документ"); nullopt for any other folder.
std::optional<std::string_view> SingularOfFolder(std::string_view folder);

// "a/b/c.bsl" → "a.b.c", kind "Module": the name of a file no layout names.
ModuleNaming NameByPath(std::string_view path);

// A module of the designer's dump, `path` relative to its root
// ("Catalogs/Валюты/Ext/ManagerModule.bsl"), or of the project format,
// `path` relative to its src folder ("Catalogs/Валюты/ManagerModule.bsl").
// Files of no known shape are named by their path (NameByPath of
// `full_path`, the path relative to the root that was read).
ModuleNaming NameDesignerModule(std::string_view path, bool project, std::string_view full_path);

// A module of an old-platform dump, `path` relative to its root.
ModuleNaming NameOldModule(std::string_view path);

// The path of an old-platform form's module beside its dialog
// ("Справочники/С/Форма.frm" → "Справочники/С/МодульФормы.1s").
std::string OldFormModulePath(std::string_view dialog_path);

// The name N of the common module folder ".../CommonModules/N/..." holding
// `path`, when some folder does.
std::optional<std::string> CommonModuleFolderOf(std::string_view path);

// "a/b/c" → {"a", "b", "c"}.
std::vector<std::string_view> SplitPath(std::string_view path);

}  // namespace ramulet
