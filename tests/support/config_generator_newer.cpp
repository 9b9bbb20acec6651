// The newer platform's designer dump: Configuration.xml, common modules
// with their flags, objects' manager, object, record-set and form modules,
// forms' events and commands, scheduled jobs, event subscriptions and the
// session module.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/config_generator_parts.h"
#include "tests/support/generated_files.h"
#include "tests/support/newer_plan.h"
#include "tests/support/newer_references.h"

namespace ramulet::generated {

namespace {

constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::string ModulePath(const NewerModule& module) {
  std::string object = std::string(CollectionFolder(module.collection)) + "/" + module.name;
  switch (module.kind) {
    case NewerKind::kCommon: return "CommonModules/" + module.name + "/Ext/Module.bsl";
    case NewerKind::kSession: return "Ext/SessionModule.bsl";
    case NewerKind::kManager: return object + "/Ext/ManagerModule.bsl";
    case NewerKind::kObject: return object + "/Ext/ObjectModule.bsl";
    case NewerKind::kForm: return object + "/Forms/" + module.form + "/Ext/Form/Module.bsl";
    case NewerKind::kRecordSet: return object + "/Ext/RecordSetModule.bsl";
  }
  return {};
}

std::string MetadataObject(const std::string& kind, const std::string& properties) {
  return std::string(kXmlHead) + "<MetaDataObject version=\"2.16\">\r\n\t<" + kind + ">\r\n\t\t<Properties>\r\n" +
         properties + "\t\t</Properties>\r\n\t</" + kind + ">\r\n</MetaDataObject>\r\n";
}

std::string Property(const std::string& name, const std::string& value) {
  return "\t\t\t<" + name + ">" + value + "</" + name + ">\r\n";
}

std::string CommonModuleXml(const NewerModule& module) {
  return MetadataObject("CommonModule", Property("Name", module.name) + "\t\t\t<Synonym/>\r\n" +
                                            Property("Global", module.global ? "true" : "false") +
                                            Property("ClientManagedApplication", module.global ? "true" : "false") +
                                            Property("Server", "true") + Property("ExternalConnection", "true") +
                                            Property("ServerCall", "false") + Property("Privileged", "false") +
                                            Property("ReturnValuesReuse", "DontUse"));
}

// The form's events name the module's handlers; its command's action the
// command's.
std::string FormXml() {
  return std::string(kXmlHead) +
         "<Form version=\"2.16\">\r\n"
         "\t<AutoCommandBar name=\"ФормаКоманднаяПанель\" id=\"-1\"/>\r\n"
         "\t<Events>\r\n"
         "\t\t<Event name=\"OnOpen\">ПриОткрытии</Event>\r\n"
         "\t\t<Event name=\"OnCreateAtServer\">ПриСозданииНаСервере</Event>\r\n"
         "\t</Events>\r\n"
         "\t<ChildItems>\r\n"
         "\t\t<Button name=\"КнопкаЗаполнить\" id=\"1\">\r\n"
         "\t\t\t<CommandName>Form.Command.Заполнить</CommandName>\r\n"
         "\t\t</Button>\r\n"
         "\t</ChildItems>\r\n"
         "\t<Commands>\r\n"
         "\t\t<Command name=\"Заполнить\" id=\"1\">\r\n"
         "\t\t\t<Title>Заполнить</Title>\r\n"
         "\t\t\t<Action>КомандаЗаполнить</Action>\r\n"
         "\t\t</Command>\r\n"
         "\t</Commands>\r\n"
         "</Form>\r\n";
}

class NewerWriter {
 public:
  NewerWriter(const ConfigShape& shape, const std::string& dir)
      : shape_(shape), plan_(PlanNewer(shape)), random_(uint64_t{shape.seed} * 104729 + 3), files_(dir),
        references_(plan_, random_) {}

  Status Write(GeneratedConfig& written) {
    for (int32_t i = 0; i < static_cast<int32_t>(plan_.modules.size()); ++i) RAMULET_RETURN_IF_ERROR(WriteModule(i));
    RAMULET_RETURN_IF_ERROR(WriteObjects());
    RAMULET_RETURN_IF_ERROR(WriteHandlers());
    RAMULET_RETURN_IF_ERROR(files_.WriteWithBom("Configuration.xml", ConfigurationXml()));
    written.modules = static_cast<int32_t>(plan_.modules.size());
    written.lines = lines_;
    written.bytes = files_.bytes();
    written.exported_methods = exported_;
    return Status::Ok();
  }

 private:
  Status WriteModule(int32_t index) {
    const NewerModule& module = plan_.modules[static_cast<size_t>(index)];
    references_.SetModule(index);
    ModuleText text;
    Opening(module, text);
    for (const MethodPlan& method : module.methods) {
      WriteMethod(method, Dialect::kNewer, random_, references_, text);
      if (method.exported) ++exported_;
    }
    Closing(module, text);
    lines_ += text.lines();
    RAMULET_RETURN_IF_ERROR(files_.WriteWithBom(ModulePath(module), text.text()));
    if (module.kind == NewerKind::kCommon) {
      RAMULET_RETURN_IF_ERROR(files_.WriteWithBom("CommonModules/" + module.name + ".xml", CommonModuleXml(module)));
    }
    if (module.kind == NewerKind::kForm) {
      std::string folder = std::string(CollectionFolder(module.collection)) + "/" + module.name + "/Forms/" + module.form;
      RAMULET_RETURN_IF_ERROR(files_.WriteWithBom(folder + "/Ext/Form.xml", FormXml()));
    }
    return Status::Ok();
  }

  // The lines of ModuleOverhead(kind), before and after the methods.
  static void Opening(const NewerModule& module, ModuleText& text) {
    switch (module.kind) {
      case NewerKind::kCommon:
        text.Line(0, "// Общий модуль «" + module.name + "»: программный интерфейс подсистемы.");
        text.Blank();
        text.Line(0, "#Область ПрограммныйИнтерфейс");
        return;
      case NewerKind::kForm:
        text.Line(0, "&НаКлиенте");
        text.Line(0, "Перем ВыполняетсяЗакрытие;");
        text.Blank();
        return;
      case NewerKind::kSession:
        text.Line(0, "// Модуль сеанса: установка параметров сеанса.");
        text.Blank();
        return;
      case NewerKind::kObject:
        text.Line(0, "#Если Сервер Или ТолстыйКлиентОбычноеПриложение Или ВнешнееСоединение Тогда");
        text.Line(0, "Перем КэшРеквизитов;");
        text.Blank();
        return;
      default:
        text.Line(0, "#Если Сервер Или ТолстыйКлиентОбычноеПриложение Или ВнешнееСоединение Тогда");
        text.Blank();
        return;
    }
  }

  static void Closing(const NewerModule& module, ModuleText& text) {
    switch (module.kind) {
      case NewerKind::kCommon: text.Line(0, "#КонецОбласти"); return;
      case NewerKind::kObject: text.Blank(); text.Line(0, "#КонецЕсли"); return;
      case NewerKind::kManager:
      case NewerKind::kRecordSet: text.Line(0, "#КонецЕсли"); return;
      default: return;
    }
  }

  // One description per object, beside its folder.
  Status WriteObjects() {
    static const char* const kKinds[] = {"Catalog", "Document", "InformationRegister"};
    for (const NewerModule& module : plan_.modules) {
      if (module.kind != NewerKind::kManager && module.kind != NewerKind::kRecordSet) continue;
      const char* kind = kKinds[static_cast<int>(module.collection)];
      std::string path = std::string(CollectionFolder(module.collection)) + "/" + module.name + ".xml";
      RAMULET_RETURN_IF_ERROR(files_.WriteWithBom(path, MetadataObject(kind, Property("Name", module.name))));
      objects_.emplace_back(kind, module.name);
    }
    return Status::Ok();
  }

  // Scheduled jobs (one per twenty modules) and event subscriptions (one
  // per ten) naming common modules' exports; one in forty names a method
  // that is not there.
  Status WriteHandlers() {
    int32_t jobs = std::max(1, shape_.modules / 20);
    int32_t subscriptions = std::max(1, shape_.modules / 10);
    for (int32_t k = 0; k < jobs + subscriptions; ++k) {
      bool job = k < jobs;
      int32_t target = plan_.callable_common[static_cast<size_t>(random_.Below(static_cast<int64_t>(plan_.callable_common.size())))];
      const NewerModule& module = plan_.modules[static_cast<size_t>(target)];
      const std::vector<int32_t>& exports = module.exports;
      std::string method = module.methods[static_cast<size_t>(exports[static_cast<size_t>(random_.Below(static_cast<int64_t>(exports.size())))])].name;
      if (k % 40 == 39) method = "УдаленныйОбработчик";
      std::string name = (job ? "Задание" : "Подписка") + method + std::to_string(k);
      std::string handler = "CommonModule." + module.name + "." + method;
      std::string properties = Property("Name", name) + (job ? Property("MethodName", handler) + Property("Use", "true")
                                                             : Property("Event", "BeforeWrite") + Property("Handler", handler));
      const char* kind = job ? "ScheduledJob" : "EventSubscription";
      RAMULET_RETURN_IF_ERROR(files_.WriteWithBom(std::string(job ? "ScheduledJobs/" : "EventSubscriptions/") + name + ".xml",
                                                  MetadataObject(kind, properties)));
      objects_.emplace_back(kind, name);
    }
    return Status::Ok();
  }

  std::string ConfigurationXml() const {
    std::string children;
    for (const NewerModule& module : plan_.modules) {
      if (module.kind == NewerKind::kCommon) children += "\t\t\t<CommonModule>" + module.name + "</CommonModule>\r\n";
    }
    for (const auto& [kind, name] : objects_) children += "\t\t\t<" + kind + ">" + name + "</" + kind + ">\r\n";
    return std::string(kXmlHead) + "<MetaDataObject version=\"2.16\">\r\n\t<Configuration>\r\n\t\t<Properties>\r\n" +
           Property("Name", "БиблиотекаПодсистем") + "\t\t</Properties>\r\n\t\t<ChildObjects>\r\n" + children +
           "\t\t</ChildObjects>\r\n\t</Configuration>\r\n</MetaDataObject>\r\n";
  }

  const ConfigShape& shape_;
  NewerPlan plan_;
  Random random_;
  FileWriter files_;
  NewerReferences references_;
  std::vector<std::pair<std::string, std::string>> objects_;
  int64_t lines_ = 0;
  int32_t exported_ = 0;
};

}  // namespace

Status WriteNewerConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig& written) {
  return NewerWriter(shape, dir).Write(written);
}

}  // namespace ramulet::generated
