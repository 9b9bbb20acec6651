// The old platform's dump as the common decompiler writes it: the global
// module, documents' posting and form modules, catalogs' item, group and
// list forms, reports, data processors and journals' list forms, each form
// module with its dialog (Форма.frm) beside it; all in Windows-1251
// without a byte order mark.
#include <string>
#include <vector>

#include "tests/support/config_generator_parts.h"
#include "tests/support/generated_code.h"
#include "tests/support/generated_files.h"

namespace ramulet::generated {

namespace {

struct OldModule {
  std::string path;  // of the .1s file; a form's dialog stands beside it
  bool form = false;
  int64_t lines = 0;
  std::vector<MethodPlan> methods;
};

constexpr int32_t kAverageMethodLines = 22;
// Referencing statements per million; of those, per thousand, the bare
// calls of the global module's exports (the rest call the module's own).
constexpr int32_t kReferenceRate = 82'000;
constexpr int32_t kGlobalShare = 460;

// The object folders in turn: a document (posting module, form), a
// catalog (item, group and list forms), a report, a data processor, a
// journal's list form.
std::vector<std::string> ModulePaths(int32_t count) {
  std::vector<std::string> paths;
  int32_t counts[5] = {0, 0, 0, 0, 0};
  for (int32_t turn = 0; static_cast<int32_t>(paths.size()) < count; ++turn) {
    int32_t kind = turn % 5;
    int32_t n = counts[kind]++;
    std::vector<std::string> parts;
    switch (kind) {
      case 0: {
        std::string folder = "Документы/" + ObjectName(n, 1);
        parts = {folder + "/МодульПроведения.1s", folder + "/МодульФормы.1s"};
        break;
      }
      case 1: {
        std::string folder = "Справочники/" + ObjectName(n, 0);
        parts = {folder + "/МодульФормы.1s", folder + "/ФормаГруппы/МодульФормы.1s",
                 folder + "/ДляВыбора.fls/МодульФормы.1s"};
        break;
      }
      case 2: parts = {"Отчеты/Анализ" + ObjectName(n, 2) + "/МодульФормы.1s"}; break;
      case 3: parts = {"Обработки/Загрузка" + ObjectName(n, 2) + "/МодульФормы.1s"}; break;
      default: parts = {"ЖурналыДокументов/Журнал" + ObjectName(n, 1) + "/Основной.fls/МодульФормы.1s"}; break;
    }
    for (std::string& part : parts) {
      if (static_cast<int32_t>(paths.size()) < count) paths.push_back(std::move(part));
    }
  }
  return paths;
}

class OldReferences : public ReferenceWriter {
 public:
  OldReferences(const std::vector<OldModule>& modules, Random& random) : modules_(modules), random_(random) {
    for (size_t i = 0; i < modules[0].methods.size(); ++i) {
      if (modules[0].methods[i].exported) exports_.push_back(&modules[0].methods[i]);
    }
  }
  void SetModule(int32_t module) { module_ = module; }
  int32_t ReferenceRate() const override { return kReferenceRate; }

  int32_t Write(const MethodPlan& method, ModuleText& text, int depth, int32_t /*room*/) override {
    const std::vector<MethodPlan>& own = modules_[static_cast<size_t>(module_)].methods;
    const MethodPlan* callee = nullptr;
    if (module_ != 0 && !exports_.empty() && random_.Below(1000) < kGlobalShare) {
      callee = exports_[static_cast<size_t>(random_.Below(static_cast<int64_t>(exports_.size())))];
    } else if (own.size() > 1) {
      callee = &own[static_cast<size_t>(random_.Below(static_cast<int64_t>(own.size())))];
    }
    if (callee == nullptr || callee == &method) return 0;
    std::string call = callee->name + "(" + method.parameters.front() + ")";
    text.Line(depth, callee->function ? "Рез = " + call + ";" : call + ";");
    return 1;
  }

 private:
  const std::vector<OldModule>& modules_;
  Random& random_;
  std::vector<const MethodPlan*> exports_;
  int32_t module_ = 0;
};

class OldWriter {
 public:
  OldWriter(const ConfigShape& shape, const std::string& dir)
      : shape_(shape), random_(uint64_t{shape.seed} * 6151 + 11), files_(dir) {}

  Status Write(GeneratedConfig& written) {
    Plan();
    OldReferences references(modules_, random_);
    for (size_t i = 0; i < modules_.size(); ++i) {
      references.SetModule(static_cast<int32_t>(i));
      RAMULET_RETURN_IF_ERROR(WriteModule(modules_[i], references));
    }
    written.modules = static_cast<int32_t>(modules_.size());
    written.lines = lines_;
    written.bytes = files_.bytes();
    written.exported_methods = exported_;
    return Status::Ok();
  }

 private:
  // The global module holds a tenth of the lines; its module variables
  // take the first few.
  void Plan() {
    std::vector<std::string> paths = ModulePaths(shape_.modules - 1);
    modules_.push_back({"ГлобальныйМодуль.1s", false, 0, {}});
    for (std::string& path : paths) modules_.push_back({std::move(path), true, 0, {}});
    for (OldModule& module : modules_) module.form = module.path.ends_with("МодульФормы.1s");
    int64_t global_lines = shape_.lines / 10;
    int64_t rest = shape_.lines - global_lines;
    int64_t others = static_cast<int64_t>(modules_.size()) - 1;
    modules_[0].lines = global_lines;
    for (size_t i = 1; i < modules_.size(); ++i) modules_[i].lines = rest / others + (static_cast<int64_t>(i) <= rest % others ? 1 : 0);
    for (size_t i = 0; i < modules_.size(); ++i) PlanMethods(modules_[i], static_cast<int32_t>(i));
  }

  void PlanMethods(OldModule& module, int32_t index) {
    int64_t method_lines = module.lines - (index == 0 ? 3 : 1);
    int64_t count = std::max<int64_t>(3, method_lines / kAverageMethodLines);
    count = std::min<int64_t>(count, method_lines / 6);
    int32_t offset = random_.Below(900);
    for (int32_t i = 0; i < count; ++i) {
      MethodPlan method;
      method.exported = index == 0 && (i == 0 || random_.Chance(600'000));
      method.name = method.exported ? GlobalExportName(exported_names_++) : MethodName(i, offset);
      method.function = random_.Chance(350'000);
      method.parameters = PickParameters(random_);
      module.methods.push_back(std::move(method));
    }
    if (module.form) module.methods[0].name = "ПриОткрытии";
    if (module.form) module.methods[1].name = "Сформировать";
    if (module.path.ends_with("МодульПроведения.1s")) module.methods[0].name = "ОбработкаПроведения";
    // Now and then a module's own method shadows a global export.
    if (index % 50 == 25) module.methods[2].name = GlobalExportName(0);
    int64_t floor_lines = 6;
    int64_t spread = method_lines - floor_lines * count;
    int64_t given = 0;
    for (MethodPlan& method : module.methods) {
      method.lines = static_cast<int32_t>(floor_lines + spread / count);
      given += method.lines;
    }
    module.methods.back().lines += static_cast<int32_t>(method_lines - given);
  }

  Status WriteModule(const OldModule& module, OldReferences& references) {
    ModuleText text;
    if (&module == &modules_[0]) {
      text.Line(0, "Перем глТекущийПользователь Экспорт;");
      text.Line(0, "Перем глНастройки Экспорт;");
    }
    text.Line(0, "// " + module.path);
    for (const MethodPlan& method : module.methods) {
      WriteMethod(method, Dialect::kOld, random_, references, text);
      if (method.exported) ++exported_;
    }
    lines_ += text.lines();
    RAMULET_RETURN_IF_ERROR(files_.Write(module.path, ToCp1251(text.text())));
    if (!module.form) return Status::Ok();
    std::string folder = module.path.substr(0, module.path.size() - std::string("МодульФормы.1s").size());
    return files_.Write(folder + "Форма.frm", ToCp1251(Dialog()));
  }

  // A dialog: captions, fields, and buttons whose formulas call the form's
  // own Сформировать and a global export.
  std::string Dialog() {
    const MethodPlan& global = modules_[0].methods[static_cast<size_t>(random_.Below(static_cast<int64_t>(modules_[0].methods.size())))];
    std::string formula = global.exported ? global.name + "(Контрагент)" : "Сформировать()";
    return "{\"Dialogs\",{\"Форма\",\"400\",\"300\"},\r\n"
           "{\"Controls\",\r\n"
           "{\"Static\",\"Надпись1\",\"Контрагент:\",\"\"},\r\n"
           "{\"Field\",\"Контрагент\",\"\",\"Справочник.Контрагенты\"},\r\n"
           "{\"Static\",\"Надпись2\",\"Итого, руб.:\",\"\"},\r\n"
           "{\"Button\",\"Кнопка1\",\"Сформировать\",\"Сформировать()\"},\r\n"
           "{\"Button\",\"Кнопка2\",\"Заполнить\",\"" + formula + "\"},\r\n"
           "{\"Button\",\"Кнопка3\",\"Закрыть\",\"Форма.Закрыть()\"}\r\n"
           "}}\r\n";
  }

  const ConfigShape& shape_;
  Random random_;
  FileWriter files_;
  std::vector<OldModule> modules_;
  int64_t lines_ = 0;
  int32_t exported_ = 0;
  int32_t exported_names_ = 0;
};

}  // namespace

Status WriteOldConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig& written) {
  return OldWriter(shape, dir).Write(written);
}

}  // namespace ramulet::generated
