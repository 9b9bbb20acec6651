#include "config/designer_layout.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "config/file_access.h"
#include "config/file_walk.h"
#include "config/metadata_callers.h"
#include "config/module_names.h"
#include "config/module_source.h"
#include "config/xml_scan.h"

namespace ramulet {

namespace {

// The <Global> flag stands among a common module's first properties.
constexpr size_t kFlagsPrefix = size_t{64} << 10;
// Form descriptions are read whole, up to this size.
constexpr size_t kMaxDescription = size_t{64} << 20;

struct Shape {
  bool project = false;
  std::string root;
  std::string src;  // "src/" or ""

  std::string Full(std::string_view path) const { return JoinUtf8(root, src + std::string(path)); }
};

// The walk of the folder `folder` ("src/ScheduledJobs/" or "") names what
// it read past relative to that folder; the problems name it from the root.
void AddWalkProblems(WalkResult& walk, std::string_view folder, ConfigSources& sources) {
  for (std::string& problem : walk.problems) {
    if (folder.empty()) {
      sources.problems.push_back(std::move(problem));
    } else if (problem.starts_with(".:")) {
      sources.problems.push_back(std::string(folder.substr(0, folder.size() - 1)) + problem.substr(1));
    } else {
      sources.problems.push_back(std::string(folder) + problem);
    }
  }
}

// Reads a description file, or says why it could not in sources.problems.
bool ReadDescription(const Shape& shape, std::string_view path, size_t limit, std::string& text,
                     ConfigSources& sources) {
  const Status status = ReadFilePrefix(PathFromUtf8(shape.Full(path)), limit, text);
  if (!status.ok()) sources.problems.push_back(shape.src + std::string(path) + ": " + status.message());
  return status.ok();
}

bool GlobalFlag(const Shape& shape, std::string_view name, ConfigSources& sources) {
  const std::string n(name);
  const std::string path = shape.project ? "CommonModules/" + n + "/" + n + ".mdo" : "CommonModules/" + n + ".xml";
  std::string xml;
  if (!ReadDescription(shape, path, kFlagsPrefix, xml, sources)) return false;
  const std::string_view element = shape.project ? "global" : "Global";
  XmlScanner scanner(xml);
  for (XmlTag tag; scanner.Next(tag);) {
    if (!tag.closing && !tag.empty && tag.name == element) return TextAfter(xml, tag).value == "true";
  }
  return false;
}

// The form module a form description belongs to: the module file beside
// it, named as that module is.
std::optional<std::string> FormModuleOf(const Shape& shape, std::string_view description) {
  const size_t slash = description.rfind('/');
  const std::string folder(description.substr(0, slash == std::string_view::npos ? 0 : slash + 1));
  const std::string module = folder + (shape.project ? "Module.bsl" : "Form/Module.bsl");
  ModuleNaming naming = NameDesignerModule(module, shape.project, shape.src + module);
  if (naming.kind != "FormModule") return std::nullopt;
  return std::move(naming.name);
}

void ReadForm(const Shape& shape, const std::string& path, ConfigSources& sources) {
  const std::optional<std::string> module = FormModuleOf(shape, path);
  std::string xml;
  if (!module || !ReadDescription(shape, path, kMaxDescription, xml, sources)) return;
  AddFormCallers(xml, *module, shape.src + path, sources.named_callers);
}

// Scheduled jobs and event subscriptions: ScheduledJobs/J.xml in the
// designer's dump, ScheduledJobs/J/J.mdo in the project.
void ReadHandlerObjects(const Shape& shape, std::string_view folder, std::string_view singular,
                        ConfigSources& sources) {
  std::error_code error;
  const std::string full = shape.Full(folder);
  if (!std::filesystem::is_directory(PathFromUtf8(full), error)) return;
  const std::string_view extension = shape.project ? ".mdo" : ".xml";
  WalkResult walk = WalkFiles(full, [&](std::string_view name) { return HasExtension(name, extension); });
  AddWalkProblems(walk, shape.src + std::string(folder) + "/", sources);
  std::sort(walk.files.begin(), walk.files.end());
  const std::string_view element = shape.project ? (singular == "ScheduledJob" ? "methodName" : "handler")
                                                 : (singular == "ScheduledJob" ? "MethodName" : "Handler");
  for (const std::string& file : walk.files) {
    const std::vector<std::string_view> parts = SplitPath(file);
    const std::string_view object = parts.back().substr(0, parts.back().size() - extension.size());
    if (parts.size() != (shape.project ? 2u : 1u) || (shape.project && parts[0] != object)) continue;
    const std::string path = std::string(folder) + "/" + file;
    std::string xml;
    if (!ReadDescription(shape, path, kMaxDescription, xml, sources)) continue;
    AddHandlerCaller(xml, element, std::string(singular) + "." + std::string(object), std::string(singular),
                     shape.src + path, sources.named_callers);
  }
}

}  // namespace

void ReadDesignerLayout(const std::string& root, std::string_view src, bool project, ConfigSources& sources) {
  const Shape shape{project, root, std::string(src)};
  const std::string_view form_file = project ? "Form.form" : "Form.xml";
  WalkResult walk = WalkFiles(JoinUtf8(root, src),
                              [&](std::string_view name) { return HasExtension(name, ".bsl") || name == form_file; });
  AddWalkProblems(walk, shape.src, sources);
  std::sort(walk.files.begin(), walk.files.end());
  for (const std::string& file : walk.files) {
    if (!HasExtension(file, ".bsl")) {
      ReadForm(shape, file, sources);
      continue;
    }
    std::string path = shape.src + file;
    ModuleNaming naming = NameDesignerModule(file, project, path);
    const bool common = naming.kind == "CommonModule";
    ModuleSource source = MakeModuleSource(root, std::move(path), std::move(naming));
    if (common) source.global = GlobalFlag(shape, SplitPath(file)[1], sources);
    sources.modules.push_back(std::move(source));
  }
  ReadHandlerObjects(shape, "ScheduledJobs", "ScheduledJob", sources);
  ReadHandlerObjects(shape, "EventSubscriptions", "EventSubscription", sources);
}

}  // namespace ramulet
