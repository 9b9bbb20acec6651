// The old platform's configuration file: which stream holds which module,
// and what the metadata stream calls its object.
#include "config/md_config.h"

#include <algorithm>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "config/dialog_formulas.h"
#include "config/md_metadata.h"
#include "textio/text_decoding.h"

namespace ramulet {
namespace {

constexpr std::string_view kMetadataStream = "Metadata/Main MetaData Stream";
constexpr std::string_view kModuleStream = "MD Programm text";
constexpr std::string_view kDialogStream = "Dialog Stream";

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t slash = path.find('/', start);
    parts.push_back(path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
    if (slash == std::string_view::npos) return parts;
    start = slash + 1;
  }
}

// The id of a storage named `<prefix>_Number<id>`, or empty.
std::string_view NumberAfter(std::string_view storage, std::string_view prefix) {
  if (storage.size() <= prefix.size() + 7 || storage.substr(0, prefix.size()) != prefix) return {};
  const std::string_view rest = storage.substr(prefix.size());
  if (rest.substr(0, 7) != "_Number") return {};
  return rest.substr(7);
}

std::string JoinDotted(const std::vector<std::string_view>& parts, size_t count) {
  std::string name;
  for (size_t i = 0; i < count && i < parts.size(); ++i) {
    if (i > 0) name += '.';
    name += parts[i];
  }
  return name;
}

// What a module or dialog stream belongs to.
struct Placement {
  std::string name;  // the module's stable name
  std::string kind;
  bool global = false;
  std::string object_key;  // the storage path of its object: one problem line per object
  std::string unnamed;     // why the name came from the path, when it did
};

std::string Cat(std::string_view a, std::string_view b, std::string_view c = {}, std::string_view d = {}) {
  std::string out;
  out.reserve(a.size() + b.size() + c.size() + d.size());
  return out.append(a).append(b).append(c).append(d);
}

// How a store's forms are named: the object numbered as the storage is
// listed in one of `sections` (a list form: its owner is; an unused
// second section is empty), and the form's module
// is `prefix` + name + `suffix` (a list form: owner's name + `suffix` +
// the form's name).
struct StoreNaming {
  std::string_view store;
  std::string_view sections[2];
  bool list_form;
  std::string_view prefix;
  std::string_view suffix;
  const char* kind;
};

const StoreNaming kStoreNamings[] = {
    {"Subconto", {"SbCnts"}, false, "Справочник.", ".Форма", "FormModule"},
    {"SubFolder", {"SbCnts"}, false, "Справочник.", ".ФормаГруппы", "FormModule"},
    {"SubList", {"SbCnts"}, true, "Справочник.", ".ФормаСписка.", "FormModule"},
    {"Document", {"Documents"}, false, "Документ.", ".Форма", "FormModule"},
    {"Journal", {"Journalisters"}, true, "ЖурналДокументов.", ".ФормаСписка.", "FormModule"},
    {"Report", {"ReportList"}, false, "Отчет.", ".Форма", "FormModule"},
    {"CalcVar", {"CalcVars"}, false, "Обработка.", ".Форма", "FormModule"},
    {"CalcArg", {"Algorithms", "CalcAlgorithms"}, false, "ВидРасчета.", ".МодульРасчета", "CalcModule"},
};

const StoreNaming* NamingOf(std::string_view store) {
  for (const StoreNaming& naming : kStoreNamings) {
    if (naming.store == store) return &naming;
  }
  return nullptr;
}

// The name of the module of `naming`'s object `id`, or empty when the
// metadata does not list it.
std::string NameFromStore(const MdMetadata& metadata, const StoreNaming& naming, std::string_view id) {
  if (naming.list_form) {
    const MdObject* form = metadata.FindOwned(id, naming.sections[0]);
    return form == nullptr ? std::string()
                           : Cat(naming.prefix, metadata.objects[form->owner].name, naming.suffix, form->name);
  }
  const MdObject* object = metadata.Find(id, {naming.sections[0], naming.sections[1]});
  return object == nullptr ? std::string() : Cat(naming.prefix, object->name, naming.suffix);
}

// Where the stream at `path` (split into `parts`) belongs, named from the
// metadata; a module whose object the metadata does not list is named
// from its path. False for the descriptions (UserHelp), which are no
// modules though they may look like them.
bool PlaceModule(const MdMetadata& metadata, const std::vector<std::string_view>& parts, Placement& placement) {
  if (parts.size() >= 2 && parts[0] == "TypedText" && parts[1].substr(0, 9) == "UserHelp_") return false;
  if (parts.size() == 3 && parts[0] == "TypedText") {
    placement.object_key = JoinDotted(parts, 2);
    if (parts[1] == "ModuleText_Number1") {
      placement = {"ГлобальныйМодуль", "GlobalModule", true, placement.object_key, {}};
      return true;
    }
    const std::string_view id = NumberAfter(parts[1], "Transact");
    placement.kind = id.empty() ? "Module" : "PostingModule";
    if (!id.empty()) {
      if (const MdObject* document = metadata.Find(id, {"Documents"})) {
        placement.name = Cat("Документ.", document->name, ".МодульПроведения");
        return true;
      }
    }
    placement.name = placement.object_key;
    placement.unnamed = id.empty() ? "a module of an unknown kind" : Cat("document ", id, " is not in the metadata");
    return true;
  }
  if (parts.size() == 4 && parts[2] == "WorkBook") {
    placement.object_key = JoinDotted(parts, 2);
    const StoreNaming* naming = NamingOf(parts[0]);
    const std::string_view id = NumberAfter(parts[1], parts[0]);
    placement.kind = naming != nullptr ? naming->kind : "FormModule";
    if (naming != nullptr && !id.empty()) placement.name = NameFromStore(metadata, *naming, id);
    if (placement.name.empty()) {
      placement.name = placement.object_key;
      if (naming == nullptr) {
        placement.unnamed = Cat("store ", parts[0], " is not one whose forms are named");
      } else if (id.empty()) {
        placement.unnamed = Cat("a form of store ", parts[0], " without a number");
      } else {
        placement.unnamed = Cat("object ", id, " of store ", parts[0]) + " is not in the metadata";
      }
    }
    return true;
  }
  // A module stream anywhere else is still a module.
  placement.object_key = JoinDotted(parts, std::max<size_t>(parts.size() - 1, 1));
  placement.name = placement.object_key;
  placement.kind = "Module";
  placement.unnamed = "a module stream in an unknown place";
  return true;
}

class MdReader {
 public:
  MdReader(const CompoundFile& compound, const std::string& path, ConfigSources& sources)
      : compound_(compound), path_(path), sources_(sources) {}

  Status Read() {
    std::string raw;
    RAMULET_RETURN_IF_ERROR(compound_.ReadStream(std::string(kMetadataStream), raw));
    std::string text;
    if (!LooksLikeText(raw)) {
      // Not the plain brace tree: try it as a compressed one.
      Status inflated = InflateRaw(raw, text);
      if (!inflated.ok()) {
        return Status::Error(Status::kInvalidArgument,
                             Cat(path_, ": stream ", kMetadataStream, ": neither text nor ") + inflated.message());
      }
      raw = std::move(text);
    }
    metadata_ = ParseMdMetadata(raw);
    for (std::string& line : metadata_.problems) sources_.problems.push_back(Cat(path_, ": ", line));

    std::vector<std::string> paths = compound_.StreamPaths();
    std::sort(paths.begin(), paths.end());
    for (const std::string& stream : paths) {
      const std::vector<std::string_view> parts = SplitPath(stream);
      if (parts.back() == kModuleStream) {
        ReadModule(stream, parts);
      }
    }
    // Dialogs after the modules so their callers follow the modules' order.
    for (const std::string& stream : paths) {
      const std::vector<std::string_view> parts = SplitPath(stream);
      if (parts.size() == 3 && parts[2] == kDialogStream) ReadDialog(stream, parts);
    }
    return Status::Ok();
  }

 private:
  // Plain text holds no control characters but line breaks and tabs;
  // DEFLATE output has them within its first few hundred bytes.
  static bool LooksLikeText(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 512);
    return std::none_of(head.begin(), head.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n';
    });
  }

  Status StreamError(const std::string& stream, const Status& status) const {
    return Status::Error(status.code(), Cat(path_, ": stream ", stream, ": ") + status.message());
  }

  void NoteUnnamed(const std::string& stream, const Placement& placement) {
    if (placement.unnamed.empty() || !unnamed_objects_.insert(placement.object_key).second) return;
    sources_.problems.push_back(Cat(path_, ": stream ", stream, ": ") + placement.unnamed + "; named " +
                                placement.name + " after its path");
  }

  void ReadModule(const std::string& stream, const std::vector<std::string_view>& parts) {
    Placement placement;
    if (!PlaceModule(metadata_, parts, placement)) return;  // a description
    NoteUnnamed(stream, placement);
    ModuleSource module;
    module.name = placement.name;
    module.path = stream;
    module.kind = placement.kind;
    module.global = placement.global;
    module.encoding = Encoding::Cp1251;
    std::string raw;
    Status read = compound_.ReadStream(stream, raw);
    if (!read.ok()) {
      module.read_error = read;
    } else if (!raw.empty()) {
      Status inflated = InflateRaw(raw, module.bytes);
      if (!inflated.ok()) module.read_error = StreamError(stream, inflated);
    }
    sources_.modules.push_back(std::move(module));
  }

  void ReadDialog(const std::string& stream, const std::vector<std::string_view>& parts) {
    std::string raw;
    Status read = compound_.ReadStream(stream, raw);
    if (!read.ok()) {
      sources_.problems.push_back(read.message());
      return;
    }
    if (!LooksLikeText(raw)) {
      std::string text;
      Status inflated = InflateRaw(raw, text);
      if (!inflated.ok()) {
        sources_.problems.push_back(StreamError(stream, inflated).message());
        return;
      }
      raw = std::move(text);
    }
    std::u16string text;
    Status decoded = DecodeText(raw, Encoding::Cp1251, text);
    if (!decoded.ok()) {
      sources_.problems.push_back(StreamError(stream, decoded).message());
      return;
    }
    std::vector<std::string_view> module_parts(parts.begin(), parts.begin() + 2);
    module_parts.push_back("WorkBook");
    module_parts.push_back(kModuleStream);
    Placement placement;
    PlaceModule(metadata_, module_parts, placement);
    NoteUnnamed(stream, placement);
    AddDialogCallers(text, placement.name, stream, sources_.named_callers);
  }

  const CompoundFile& compound_;
  const std::string& path_;
  ConfigSources& sources_;
  MdMetadata metadata_;
  std::set<std::string> unnamed_objects_;
};

}  // namespace

Status ReadMdCompound(const CompoundFile& compound, const std::string& path, ConfigSources& sources) {
  sources.layout = ConfigLayout::kOldMd;
  sources.root = path;
  return MdReader(compound, path, sources).Read();
}

Status ReadMdFile(const std::string& path, ConfigSources& sources) {
  sources.layout = ConfigLayout::kOldMd;
  std::unique_ptr<CompoundFile> compound;
  RAMULET_RETURN_IF_ERROR(OpenCompoundFile(path, compound));
  return ReadMdCompound(*compound, path, sources);
}

}  // namespace ramulet
