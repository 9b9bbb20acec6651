#include "config/module_names.h"

#include <array>
#include <utility>

namespace ramulet {

namespace {

using Names = std::pair<std::string_view, std::string_view>;

// Metadata folders that hold modules, with the singular a module's name
// takes: the newer platform's folders, then the old platform's.
constexpr std::array kFolderSingulars = {
    Names{"AccountingRegisters", "AccountingRegister"},
    Names{"AccumulationRegisters", "AccumulationRegister"},
    Names{"Bots", "Bot"},
    Names{"BusinessProcesses", "BusinessProcess"},
    Names{"CalculationRegisters", "CalculationRegister"},
    Names{"Catalogs", "Catalog"},
    Names{"ChartsOfAccounts", "ChartOfAccounts"},
    Names{"ChartsOfCalculationTypes", "ChartOfCalculationTypes"},
    Names{"ChartsOfCharacteristicTypes", "ChartOfCharacteristicTypes"},
    Names{"CommonCommands", "CommonCommand"},
    Names{"CommonForms", "CommonForm"},
    Names{"CommonModules", "CommonModule"},
    Names{"Constants", "Constant"},
    Names{"DataProcessors", "DataProcessor"},
    Names{"DocumentJournals", "DocumentJournal"},
    Names{"Documents", "Document"},
    Names{"Enums", "Enum"},
    Names{"ExchangePlans", "ExchangePlan"},
    Names{"ExternalDataSources", "ExternalDataSource"},
    Names{"FilterCriteria", "FilterCriterion"},
    Names{"HTTPServices", "HTTPService"},
    Names{"InformationRegisters", "InformationRegister"},
    Names{"IntegrationServices", "IntegrationService"},
    Names{"Reports", "Report"},
    Names{"Sequences", "Sequence"},
    Names{"SettingsStorages", "SettingsStorage"},
    Names{"Tasks", "Task"},
    Names{"WebServices", "WebService"},
    Names{"ВидыРасчетов", "ВидРасчета"},
    Names{"Документы", "Документ"},
    Names{"ЖурналыДокументов", "ЖурналДокументов"},
    Names{"ЖурналыРасчетов", "ЖурналРасчетов"},
    Names{"Обработки", "Обработка"},
    Names{"Отчеты", "Отчет"},
    Names{"Справочники", "Справочник"},
};

// The common objects, whose single module has a fixed file name.
struct CommonObject {
  std::string_view folder;
  std::string_view file;
  std::string_view kind;
};
constexpr std::array kCommonObjects = {
    CommonObject{"CommonModules", "Module.bsl", "CommonModule"},
    CommonObject{"CommonForms", "Module.bsl", "FormModule"},
    CommonObject{"CommonCommands", "CommandModule.bsl", "CommandModule"},
};

// The old platform's module files in an object's folder.
constexpr std::array kOldObjectModules = {
    Names{"МодульФормы.1s", "FormModule"},
    Names{"МодульПроведения.1s", "PostingModule"},
    Names{"МодульРасчета.1s", "CalcModule"},
};

constexpr std::string_view kOldFormModule = "МодульФормы.1s";

std::string_view Stem(std::string_view file) {
  const size_t dot = file.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? file : file.substr(0, dot);
}

std::string Dotted(std::initializer_list<std::string_view> parts) {
  std::string name;
  for (std::string_view part : parts) {
    if (!name.empty()) name += '.';
    name += part;
  }
  return name;
}

// The designer's path with its "Ext" (and "Ext/Form") folders taken out,
// which is the project format's path of the same module; empty when the
// path has none of the designer's shapes.
std::vector<std::string_view> WithoutExtFolders(const std::vector<std::string_view>& s) {
  const size_t n = s.size();
  const bool common_form = s[0] == "CommonForms";
  if (n == 2 && s[0] == "Ext") return {"Configuration", s[1]};
  if (n == 4 && s[2] == "Ext" && !common_form) return {s[0], s[1], s[3]};
  if (n == 5 && common_form && s[2] == "Ext" && s[3] == "Form") return {s[0], s[1], s[4]};
  if (n == 6 && s[2] == "Commands" && s[4] == "Ext") return {s[0], s[1], s[2], s[3], s[5]};
  if (n == 7 && s[2] == "Forms" && s[4] == "Ext" && s[5] == "Form") return {s[0], s[1], s[2], s[3], s[6]};
  return {};
}

// The names of the project format's shapes (the designer's without Ext).
std::optional<ModuleNaming> NameProjectShape(const std::vector<std::string_view>& s) {
  const size_t n = s.size();
  if (n == 2 && s[0] == "Configuration")
    return ModuleNaming{Dotted({"Configuration", Stem(s[1])}), std::string(Stem(s[1]))};
  for (const CommonObject& common : kCommonObjects) {
    if (s[0] != common.folder) continue;
    if (n == 3 && s[2] == common.file)
      return ModuleNaming{Dotted({*SingularOfFolder(s[0]), s[1]}), std::string(common.kind)};
    return std::nullopt;
  }
  const std::optional<std::string_view> kind = SingularOfFolder(s[0]);
  if (!kind) return std::nullopt;
  if (n == 3 && s[2] == "Module.bsl") return ModuleNaming{Dotted({*kind, s[1]}), std::string(*kind) + "Module"};
  if (n == 3) return ModuleNaming{Dotted({*kind, s[1], Stem(s[2])}), std::string(Stem(s[2]))};
  if (n == 5 && s[2] == "Forms" && s[4] == "Module.bsl")
    return ModuleNaming{Dotted({*kind, s[1], "Form", s[3]}), "FormModule"};
  if (n == 5 && s[2] == "Commands" && s[4] == "CommandModule.bsl")
    return ModuleNaming{Dotted({*kind, s[1], "Command", s[3]}), "CommandModule"};
  return std::nullopt;
}

}  // namespace

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t begin = 0;
  while (true) {
    const size_t slash = path.find('/', begin);
    parts.push_back(path.substr(begin, slash == std::string_view::npos ? std::string_view::npos : slash - begin));
    if (slash == std::string_view::npos) return parts;
    begin = slash + 1;
  }
}

std::optional<std::string_view> SingularOfFolder(std::string_view folder) {
  for (const auto& [plural, singular] : kFolderSingulars) {
    if (plural == folder) return singular;
  }
  return std::nullopt;
}

ModuleNaming NameByPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  std::string name(
      dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash) ? path : path.substr(0, dot));
  for (char& c : name) {
    if (c == '/') c = '.';
  }
  return ModuleNaming{std::move(name), "Module"};
}

ModuleNaming NameDesignerModule(std::string_view path, bool project, std::string_view full_path) {
  const std::vector<std::string_view> segments = SplitPath(path);
  const std::vector<std::string_view> shape = project ? segments : WithoutExtFolders(segments);
  if (!shape.empty()) {
    if (std::optional<ModuleNaming> naming = NameProjectShape(shape)) return *std::move(naming);
  }
  return NameByPath(full_path);
}

ModuleNaming NameOldModule(std::string_view path) {
  const std::vector<std::string_view> s = SplitPath(path);
  const size_t n = s.size();
  if (n == 1 && s[0] == "ГлобальныйМодуль.1s") return ModuleNaming{"ГлобальныйМодуль", "GlobalModule"};
  const std::optional<std::string_view> kind = SingularOfFolder(s[0]);
  if (kind && n == 3) {
    for (const auto& [file, module_kind] : kOldObjectModules) {
      if (s[2] != file) continue;
      const std::string_view last = module_kind == "FormModule" ? std::string_view("Форма") : Stem(file);
      return ModuleNaming{Dotted({*kind, s[1], last}), std::string(module_kind)};
    }
  }
  if (kind && n == 4 && s[3] == kOldFormModule) {
    if (s[2] == "ФормаГруппы") return ModuleNaming{Dotted({*kind, s[1], "ФормаГруппы"}), "FormModule"};
    if (s[2].ends_with(".fls")) return ModuleNaming{Dotted({*kind, s[1], "ФормаСписка", Stem(s[2])}), "FormModule"};
  }
  return NameByPath(path);
}

std::string OldFormModulePath(std::string_view dialog_path) {
  const size_t slash = dialog_path.rfind('/');
  std::string path(slash == std::string_view::npos ? std::string_view() : dialog_path.substr(0, slash + 1));
  path += kOldFormModule;
  return path;
}

std::optional<std::string> CommonModuleFolderOf(std::string_view path) {
  const std::vector<std::string_view> s = SplitPath(path);
  // The module file lies in (or below) CommonModules/N/, so at least two
  // segments follow "CommonModules".
  for (size_t i = 0; i + 2 < s.size(); ++i) {
    if (s[i] == "CommonModules") return std::string(s[i + 1]);
  }
  return std::nullopt;
}

}  // namespace ramulet
