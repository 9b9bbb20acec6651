#include "tests/support/newer_plan.h"

#include <algorithm>
#include <array>

namespace ramulet::generated {

namespace {

// Subsystems and the sides of each: 40 x 14 = 560 names, the first of them
// ОбщегоНазначения.
constexpr std::array<const char*, 40> kSubsystems = {
    "ОбщегоНазначения", "РаботаСФайлами", "УправлениеДоступом", "ОбменДанными", "ПечатьФорм",
    "ВерсионированиеОбъектов", "ДатыЗапретаИзменения", "ЗаметкиПользователя", "КонтактнаяИнформацияОбъектов",
    "РаботаСПочтой", "ДополнительныеОтчеты", "ЗагрузкаКурсов", "АдресныйКлассификатор", "ЭлектроннаяПодпись",
    "ОбновлениеИнформационнойБазы", "РегламентныеЗаданияСлужба", "БизнесПроцессыИЗадачи", "Анкетирование",
    "ПрисоединенныеФайлы", "ЦентрМониторинга", "ОценкаПроизводительности", "ПоискИУдалениеДублей",
    "ВариантыОтчетов", "РассылкаОтчетов", "ГрупповоеИзменение", "ЗавершениеРаботы", "НапоминанияПользователя",
    "ДлительныеОперации", "ИнтернетПоддержка", "ВзаимодействияСКлиентами", "ЗащитаДанных", "КалендарныеГрафики",
    "СвойстваОбъектов", "ТекущиеДела", "ОтправкаСообщений", "УчетНДСРасчеты", "ПроверкаЛегальности",
    "РезервноеКопирование", "МногоязычиеДанных", "ШаблоныСообщений"};
constexpr std::array<const char*, 14> kSides = {
    "", "Сервер", "Клиент", "ВызовСервера", "КлиентСервер", "Переопределяемый", "ПовтИсп",
    "Служебный", "СлужебныйКлиент", "СлужебныйВызовСервера", "Внутренний", "Локализация", "События", "Отладка"};

// Shares of methods exported, per million, by module kind.
int32_t ExportRate(NewerKind kind) {
  switch (kind) {
    case NewerKind::kCommon: return 530'000;
    case NewerKind::kManager: return 330'000;
    case NewerKind::kObject: return 90'000;
    default: return 0;
  }
}

// Share of methods with a parameter named like a common module, per million.
constexpr int32_t kShadowingParameterRate = 2'000;
constexpr int32_t kAverageMethodLines = 24;

std::string CommonModuleName(int32_t index, int32_t globals) {
  if (index == 0) return kSubsystems[0];
  if (index <= globals) {
    std::string name = std::string(kSubsystems[static_cast<size_t>(index % 40)]) + "Глобальный";
    return index >= 40 ? name + std::to_string(index / 40) : name;
  }
  int32_t grid = index - globals;
  std::string name = std::string(kSubsystems[static_cast<size_t>(grid % 40)]) + kSides[static_cast<size_t>((grid / 40) % 14)];
  return grid >= 560 ? name + std::to_string(grid / 560) : name;
}

MethodPlan Special(std::string name, bool function, bool exported, std::vector<std::string> parameters,
                   std::string directive = {}) {
  MethodPlan method;
  method.name = std::move(name);
  method.function = function;
  method.exported = exported;
  method.parameters = std::move(parameters);
  method.directive = std::move(directive);
  return method;
}

// Methods every module of a kind has: the accessor of modules by name, form
// events and the form's command, object events.
std::vector<MethodPlan> SpecialMethods(const NewerModule& module, int32_t index) {
  if (module.kind == NewerKind::kCommon && index == 0) {
    return {Special("ОбщийМодуль", true, true, {"Имя"}), Special("ПодсистемаСуществует", true, true, {"ПолноеИмя"})};
  }
  if (module.kind == NewerKind::kForm) {
    return {Special("ПриСозданииНаСервере", false, false, {"Отказ", "СтандартнаяОбработка"}, "&НаСервере"),
            Special("ПриОткрытии", false, false, {"Отказ"}, "&НаКлиенте"),
            Special("КомандаЗаполнить", false, false, {"Команда"}, "&НаКлиенте")};
  }
  if (module.kind == NewerKind::kObject) {
    if (module.collection == Collection::kDocuments) {
      return {Special("ОбработкаПроведения", false, false, {"Отказ", "РежимПроведения"})};
    }
    return {Special("ПередЗаписью", false, false, {"Отказ"})};
  }
  return {};
}

class Planner {
 public:
  explicit Planner(const ConfigShape& shape) : shape_(shape), random_(uint64_t{shape.seed} * 7919 + 17) {}

  NewerPlan Plan() {
    plan_.common_count = shape_.common_modules;
    plan_.global_count = shape_.global_modules;
    ListModules();
    SpreadLines();
    for (size_t i = 0; i < plan_.modules.size(); ++i) PlanMethods(plan_.modules[i], static_cast<int32_t>(i));
    ListTargets();
    AddShadowingParameters();
    return std::move(plan_);
  }

 private:
  void Add(NewerKind kind, std::string name, Collection collection = Collection::kCatalogs, std::string form = {}) {
    NewerModule module;
    module.kind = kind;
    module.name = std::move(name);
    module.collection = collection;
    module.form = std::move(form);
    plan_.modules.push_back(std::move(module));
  }

  // Common modules, the session module, then objects in turn: a catalog
  // (manager, object), a document (manager, object, two forms), an
  // information register (record set).
  void ListModules() {
    for (int32_t i = 0; i < shape_.common_modules; ++i) {
      Add(NewerKind::kCommon, CommonModuleName(i, shape_.global_modules));
      plan_.modules.back().global = i >= 1 && i <= shape_.global_modules;
    }
    Add(NewerKind::kSession, "SessionModule");
    int32_t counts[3] = {0, 0, 0};
    for (int32_t turn = 0; static_cast<int32_t>(plan_.modules.size()) < shape_.modules; ++turn) {
      auto collection = static_cast<Collection>(turn % 3);
      std::string object = ObjectName(counts[turn % 3]++, turn % 3);
      std::vector<std::pair<NewerKind, std::string>> parts;
      if (collection == Collection::kInformationRegisters) {
        parts = {{NewerKind::kRecordSet, ""}};
      } else {
        parts = {{NewerKind::kManager, ""}, {NewerKind::kObject, ""}};
        if (collection == Collection::kDocuments) {
          parts.emplace_back(NewerKind::kForm, "ФормаДокумента");
          parts.emplace_back(NewerKind::kForm, "ФормаСписка");
        }
      }
      for (auto& [kind, form] : parts) {
        if (static_cast<int32_t>(plan_.modules.size()) < shape_.modules) Add(kind, object, collection, form);
      }
    }
  }

  // Common modules are the large ones; every module gets at least enough
  // for its fixed methods.
  void SpreadLines() {
    std::vector<int64_t> weights;
    int64_t total_weight = 0;
    for (const NewerModule& module : plan_.modules) {
      int64_t weight = module.kind == NewerKind::kCommon ? 14 + random_.Below(24) : 4 + random_.Below(14);
      weights.push_back(weight);
      total_weight += weight;
    }
    int64_t floor_lines = 48;
    int64_t spread = shape_.lines - floor_lines * static_cast<int64_t>(plan_.modules.size());
    int64_t given = 0;
    for (size_t i = 0; i < plan_.modules.size(); ++i) {
      plan_.modules[i].lines = floor_lines + spread * weights[i] / total_weight;
      given += plan_.modules[i].lines;
    }
    plan_.modules[0].lines += shape_.lines - given;
  }

  void PlanMethods(NewerModule& module, int32_t index) {
    std::vector<MethodPlan> methods = SpecialMethods(module, index);
    int64_t method_lines = module.lines - ModuleOverhead(module.kind);
    int64_t count = std::max<int64_t>(static_cast<int64_t>(methods.size()) + 1, method_lines / kAverageMethodLines);
    count = std::min<int64_t>(count, method_lines / 6);
    int32_t offset = random_.Below(900);
    for (auto i = static_cast<int32_t>(methods.size()); i < count; ++i) methods.push_back(OrdinaryMethod(module, index, i, offset));
    SpreadMethodLines(methods, method_lines);
    for (size_t i = 0; i < methods.size(); ++i) {
      (methods[i].exported ? module.exports : module.internal).push_back(static_cast<int32_t>(i));
    }
    module.methods = std::move(methods);
  }

  // Distinct names for the exports of global modules, except that the
  // second global module repeats the first one's first export (its method
  // 0, always exported): a name two global modules export.
  int32_t GlobalExportIndex(int32_t module_index, int32_t method_index) {
    if (module_index == 2 && method_index == 0) return 0;
    return global_exports_++;
  }

  MethodPlan OrdinaryMethod(const NewerModule& module, int32_t index, int32_t i, int32_t offset) {
    MethodPlan method;
    method.exported = (module.kind == NewerKind::kCommon || module.kind == NewerKind::kManager) && i == 0
                          ? true
                          : random_.Chance(ExportRate(module.kind));
    method.name = module.global && method.exported ? GlobalExportName(GlobalExportIndex(index, i)) : MethodName(i, offset);
    method.function = random_.Chance(400'000);
    method.parameters = PickParameters(random_);
    if (module.kind == NewerKind::kForm) method.directive = i % 2 == 0 ? "&НаКлиенте" : "&НаСервереБезКонтекста";
    return method;
  }

  void SpreadMethodLines(std::vector<MethodPlan>& methods, int64_t total) {
    std::vector<int64_t> weights;
    int64_t total_weight = 0;
    for (size_t i = 0; i < methods.size(); ++i) {
      weights.push_back(1 + random_.Below(5));
      total_weight += weights.back();
    }
    int64_t floor_lines = 6;
    int64_t spread = total - floor_lines * static_cast<int64_t>(methods.size());
    int64_t given = 0;
    for (size_t i = 0; i < methods.size(); ++i) {
      methods[i].lines = static_cast<int32_t>(floor_lines + spread * weights[i] / total_weight);
      given += methods[i].lines;
    }
    methods.back().lines += static_cast<int32_t>(total - given);
  }

  void ListTargets() {
    for (int32_t i = 0; i < static_cast<int32_t>(plan_.modules.size()); ++i) {
      const NewerModule& module = plan_.modules[static_cast<size_t>(i)];
      if (module.kind == NewerKind::kCommon && !module.exports.empty()) plan_.callable_common.push_back(i);
      if (module.kind == NewerKind::kCommon && !module.internal.empty()) plan_.hiding_common.push_back(i);
      if (module.kind == NewerKind::kManager && !module.exports.empty()) plan_.managers.push_back(i);
      if (module.global) {
        for (int32_t e : module.exports) plan_.global_exports.push_back({i, e});
      }
    }
  }

  // A few methods take a parameter named like a common module and call
  // through it: no call of that module. The first fit one always does, so
  // that small configurations have one too.
  void AddShadowingParameters() {
    bool first = true;
    for (size_t i = 1; i < plan_.modules.size(); ++i) {
      for (MethodPlan& method : plan_.modules[i].methods) {
        if (method.lines < 8 || !(first || random_.Chance(kShadowingParameterRate))) continue;
        int32_t target = plan_.callable_common[static_cast<size_t>(random_.Below(
            static_cast<int64_t>(plan_.callable_common.size())))];
        const NewerModule& module = plan_.modules[static_cast<size_t>(target)];
        if (static_cast<size_t>(target) == i) continue;
        first = false;
        method.parameters.push_back(module.name);
        method.call_through_parameter =
            module.methods[static_cast<size_t>(module.exports[static_cast<size_t>(random_.Below(
                static_cast<int64_t>(module.exports.size())))])].name;
      }
    }
  }

  const ConfigShape& shape_;
  Random random_;
  NewerPlan plan_;
  int32_t global_exports_ = 0;
};

}  // namespace

int32_t ModuleOverhead(NewerKind kind) {
  switch (kind) {
    case NewerKind::kCommon: return 4;      // a comment, a blank line, #Область, #КонецОбласти
    case NewerKind::kForm: return 3;        // &НаКлиенте, Перем, a blank line
    case NewerKind::kObject: return 5;      // #Если, Перем, two blank lines, #КонецЕсли
    case NewerKind::kSession: return 2;     // a comment, a blank line
    default: return 3;                      // #Если, a blank line, #КонецЕсли
  }
}

const char* CollectionFolder(Collection collection) {
  switch (collection) {
    case Collection::kCatalogs: return "Catalogs";
    case Collection::kDocuments: return "Documents";
    default: return "InformationRegisters";
  }
}

const char* CollectionWord(Collection collection) {
  switch (collection) {
    case Collection::kCatalogs: return "Справочники";
    case Collection::kDocuments: return "Документы";
    default: return "РегистрыСведений";
  }
}

NewerPlan PlanNewer(const ConfigShape& shape) { return Planner(shape).Plan(); }

}  // namespace ramulet::generated
