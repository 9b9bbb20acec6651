#include "tests/support/newer_references.h"

#include <array>

namespace ramulet::generated {

enum class Reference : uint8_t {
  kInModule, kCommon, kBound, kManager, kGlobal, kNotification, kIdleHandler, kNameInString, kDynamic,
  kNotExported, kAbsentModule, kUnknownMember,
};

namespace {

struct Weighted {
  Reference reference;
  int32_t weight;  // per 10,000 referencing statements
};

// A bound group averages 1.9 calls through its variable and 1.5 calls of
// ОбщегоНазначения; negative cases are about one in a hundred of the calls
// into other modules.
constexpr std::array<Weighted, 12> kMix = {{
    {Reference::kInModule, 5000}, {Reference::kCommon, 3650}, {Reference::kBound, 660},
    {Reference::kManager, 150},   {Reference::kGlobal, 220},  {Reference::kNotification, 30},
    {Reference::kIdleHandler, 20}, {Reference::kNameInString, 30}, {Reference::kDynamic, 6},
    {Reference::kNotExported, 15}, {Reference::kAbsentModule, 10}, {Reference::kUnknownMember, 15},
}};

constexpr int32_t TotalWeight() {
  int32_t total = 0;
  for (const Weighted& w : kMix) total += w.weight;
  return total;
}

}  // namespace

int32_t NewerReferences::ReferenceRate() const { return 160'000; }

// The rare kinds, each written once early on (one referencing statement in
// fifty, until each is there) so that small configurations have them all.
constexpr std::array<Reference, 10> kRare = {
    Reference::kBound, Reference::kManager, Reference::kGlobal, Reference::kNotification,
    Reference::kIdleHandler, Reference::kNameInString, Reference::kDynamic, Reference::kNotExported,
    Reference::kAbsentModule, Reference::kUnknownMember};

int32_t NewerReferences::Write(const MethodPlan& method, ModuleText& text, int depth, int32_t room) {
  bool forced = rare_written_ < kRare.size() && ++references_ % 50 == 0;
  Reference reference = forced ? kRare[rare_written_] : Reference::kInModule;
  int32_t roll = forced ? TotalWeight() : random_.Below(TotalWeight());
  for (const Weighted& w : kMix) {
    if (roll < w.weight) {
      reference = w.reference;
      break;
    }
    roll -= w.weight;
  }
  int32_t written = WriteKind(reference, method, text, depth, room);
  if (forced && written > 0) ++rare_written_;
  return written;
}

int32_t NewerReferences::WriteKind(Reference reference, const MethodPlan& method, ModuleText& text, int depth,
                                   int32_t room) {
  switch (reference) {
    case Reference::kInModule: return InModule(method, text, depth);
    case Reference::kCommon: return Common(method, text, depth);
    case Reference::kBound: return Bound(method, text, depth, room);
    case Reference::kManager: return Manager(method, text, depth);
    case Reference::kGlobal: return Global(method, text, depth);
    case Reference::kNotification: return Notification(method, text, depth);
    case Reference::kIdleHandler: return IdleHandler(method, text, depth);
    case Reference::kNameInString: return NameInString(text, depth);
    case Reference::kDynamic: return Dynamic(text, depth);
    case Reference::kNotExported: return NotExported(method, text, depth);
    case Reference::kAbsentModule: return AbsentModule(text, depth, room);
    case Reference::kUnknownMember: return UnknownMember(method, text, depth);
  }
  return 0;
}

std::string NewerReferences::Arguments(const MethodPlan& caller, const MethodPlan& callee) {
  std::string arguments;
  for (size_t i = 0; i < callee.parameters.size(); ++i) {
    if (i > 0) arguments += ", ";
    arguments += i < caller.parameters.size() ? caller.parameters[i] : (i % 2 == 0 ? "Неопределено" : "Истина");
  }
  return arguments;
}

// `receiver.callee(…);`, a function's value assigned or tested.
std::string NewerReferences::CallOf(const MethodPlan& caller, const std::string& receiver, const MethodPlan& callee) {
  std::string call = receiver + callee.name + "(" + Arguments(caller, callee) + ")";
  if (!callee.function) return call + ";";
  switch (random_.Below(3)) {
    case 0: return "Результат = " + call + ";";
    case 1: return "Если Не " + call + " Тогда Возврат; КонецЕсли;";
    default: return "СтруктураДанных.Вставить(\"Значение\", " + call + ");";
  }
}

int32_t NewerReferences::OtherCommon() {
  if (plan_.callable_common.empty()) return -1;
  for (int attempt = 0; attempt < 4; ++attempt) {
    int32_t target = plan_.callable_common[static_cast<size_t>(
        random_.Skewed(static_cast<int32_t>(plan_.callable_common.size())))];
    if (target != module_) return target;
  }
  return -1;
}

int32_t NewerReferences::PickExport(int32_t module) {
  const std::vector<int32_t>& exports = Module(module).exports;
  return exports[static_cast<size_t>(random_.Below(static_cast<int64_t>(exports.size())))];
}

int32_t NewerReferences::OwnMethod(const MethodPlan& caller) {
  const std::vector<MethodPlan>& methods = Module(module_).methods;
  if (methods.size() < 2) return -1;
  int32_t pick = random_.Below(static_cast<int64_t>(methods.size()));
  if (&methods[static_cast<size_t>(pick)] == &caller) pick = (pick + 1) % static_cast<int32_t>(methods.size());
  return pick;
}

int32_t NewerReferences::InModule(const MethodPlan& method, ModuleText& text, int depth) {
  int32_t callee = OwnMethod(method);
  if (callee < 0) return 0;
  text.Line(depth, CallOf(method, "", MethodOf(module_, callee)));
  return 1;
}

int32_t NewerReferences::Common(const MethodPlan& method, ModuleText& text, int depth) {
  int32_t target = OtherCommon();
  if (target < 0) return InModule(method, text, depth);
  text.Line(depth, CallOf(method, Module(target).name + ".", MethodOf(target, PickExport(target))));
  return 1;
}

// A module bound by name, then called through its variable: after a check
// that its subsystem exists, in the guarded form that clears the variable
// otherwise, plainly, or as one chain.
int32_t NewerReferences::Bound(const MethodPlan& method, ModuleText& text, int depth, int32_t room) {
  int32_t target = OtherCommon();
  if (target < 0) return InModule(method, text, depth);
  const std::string& name = Module(target).name;
  const std::string accessor = module_ == 0 ? "ОбщийМодуль" : "ОбщегоНазначения.ОбщийМодуль";
  std::string variable = "Модуль" + name;
  std::string binding = variable + " = " + accessor + "(\"" + name + "\");";
  std::string check = "Если " + std::string(module_ == 0 ? "" : "ОбщегоНазначения.") +
                      "ПодсистемаСуществует(\"СтандартныеПодсистемы." + name + "\") Тогда";
  int32_t calls = 1 + random_.Below(3);
  int32_t shape = random_.Below(4);
  if (shape == 0 && room >= 8) {
    text.Line(depth, check);
    text.Line(depth + 1, binding);
    text.Line(depth, "Иначе");
    text.Line(depth + 1, variable + " = Неопределено;");
    text.Line(depth, "КонецЕсли;");
    text.Line(depth, "Если " + variable + " <> Неопределено Тогда");
    text.Line(depth + 1, CallOf(method, variable + ".", MethodOf(target, PickExport(target))));
    text.Line(depth, "КонецЕсли;");
    return 8;
  }
  if (shape == 1 && room >= calls + 3) {
    text.Line(depth, check);
    text.Line(depth + 1, binding);
    for (int32_t i = 0; i < calls; ++i) text.Line(depth + 1, CallOf(method, variable + ".", MethodOf(target, PickExport(target))));
    text.Line(depth, "КонецЕсли;");
    return calls + 3;
  }
  if (shape == 2 && room >= calls + 1) {
    text.Line(depth, binding);
    for (int32_t i = 0; i < calls; ++i) text.Line(depth, CallOf(method, variable + ".", MethodOf(target, PickExport(target))));
    return calls + 1;
  }
  text.Line(depth, CallOf(method, accessor + "(\"" + name + "\").", MethodOf(target, PickExport(target))));
  return 1;
}

int32_t NewerReferences::Manager(const MethodPlan& method, ModuleText& text, int depth) {
  if (plan_.managers.empty()) return InModule(method, text, depth);
  int32_t target = plan_.managers[static_cast<size_t>(random_.Below(static_cast<int64_t>(plan_.managers.size())))];
  const NewerModule& manager = Module(target);
  std::string receiver = std::string(CollectionWord(manager.collection)) + "." + manager.name + ".";
  text.Line(depth, CallOf(method, receiver, MethodOf(target, PickExport(target))));
  return 1;
}

int32_t NewerReferences::Global(const MethodPlan& method, ModuleText& text, int depth) {
  if (plan_.global_exports.empty()) return InModule(method, text, depth);
  MethodRef target = plan_.global_exports[static_cast<size_t>(random_.Below(static_cast<int64_t>(plan_.global_exports.size())))];
  if (target.module == module_) return InModule(method, text, depth);
  text.Line(depth, CallOf(method, "", MethodOf(target.module, target.method)));
  return 1;
}

// Forms and objects name their own handler; other modules a common
// module's export.
int32_t NewerReferences::Notification(const MethodPlan& method, ModuleText& text, int depth) {
  NewerKind kind = Module(module_).kind;
  if (kind == NewerKind::kForm || kind == NewerKind::kObject) {
    int32_t own = OwnMethod(method);
    if (own < 0) return 0;
    text.Line(depth, "Оповещение = Новый ОписаниеОповещения(\"" + MethodOf(module_, own).name + "\", ЭтотОбъект);");
    return 1;
  }
  int32_t target = OtherCommon();
  if (target < 0) return 0;
  text.Line(depth, "Оповещение = Новый ОписаниеОповещения(\"" + MethodOf(target, PickExport(target)).name + "\", " +
                       Module(target).name + ", Параметры);");
  return 1;
}

// A form's own handler; elsewhere a global module's export.
int32_t NewerReferences::IdleHandler(const MethodPlan& method, ModuleText& text, int depth) {
  std::string handler;
  if (Module(module_).kind == NewerKind::kForm) {
    int32_t own = OwnMethod(method);
    if (own < 0) return 0;
    handler = MethodOf(module_, own).name;
  } else {
    if (plan_.global_exports.empty()) return 0;
    MethodRef target = plan_.global_exports[static_cast<size_t>(random_.Below(static_cast<int64_t>(plan_.global_exports.size())))];
    handler = MethodOf(target.module, target.method).name;
  }
  if (random_.Chance(250'000)) {
    text.Line(depth, "ОтключитьОбработчикОжидания(\"" + handler + "\");");
  } else {
    text.Line(depth, "ПодключитьОбработчикОжидания(\"" + handler + "\", 0.1, Истина);");
  }
  return 1;
}

// "Модуль.Метод" for a background job or a long operation.
int32_t NewerReferences::NameInString(ModuleText& text, int depth) {
  int32_t target = OtherCommon();
  if (target < 0) return 0;
  text.Line(depth, "ИмяПроцедуры = \"" + Module(target).name + "." + MethodOf(target, PickExport(target)).name + "\";");
  return 1;
}

int32_t NewerReferences::Dynamic(ModuleText& text, int depth) {
  text.Line(depth, random_.Chance(500'000) ? "Выполнить(ТекстАлгоритма);" : "Результат = Вычислить(Выражение);");
  return 1;
}

int32_t NewerReferences::NotExported(const MethodPlan& method, ModuleText& text, int depth) {
  if (plan_.hiding_common.empty()) return 0;
  int32_t target = plan_.hiding_common[static_cast<size_t>(random_.Below(static_cast<int64_t>(plan_.hiding_common.size())))];
  if (target == module_) return 0;
  const std::vector<int32_t>& internal = Module(target).internal;
  const MethodPlan& callee = MethodOf(target, internal[static_cast<size_t>(random_.Below(static_cast<int64_t>(internal.size())))]);
  text.Line(depth, CallOf(method, Module(target).name + ".", callee));
  return 1;
}

int32_t NewerReferences::AbsentModule(ModuleText& text, int depth, int32_t room) {
  if (room < 2) return 0;
  std::string name = "УстаревшаяПодсистема" + std::to_string(absent_++ % 20);
  const std::string accessor = module_ == 0 ? "ОбщийМодуль" : "ОбщегоНазначения.ОбщийМодуль";
  text.Line(depth, "МодульУстаревший = " + accessor + "(\"" + name + "\");");
  text.Line(depth, "МодульУстаревший.ВыполнитьОбновление(Параметры);");
  return 2;
}

int32_t NewerReferences::UnknownMember(const MethodPlan& method, ModuleText& text, int depth) {
  int32_t target = OtherCommon();
  if (target < 0) return 0;
  text.Line(depth, Module(target).name + ".УдаленныйМетод" + std::to_string(random_.Below(50)) + "(" +
                       method.parameters.front() + ");");
  return 1;
}

}  // namespace ramulet::generated
