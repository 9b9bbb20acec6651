#include "config/module_source.h"

#include "config/file_access.h"

namespace ramulet {

bool HasExtension(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size()) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  for (size_t i = 0; i < tail.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

ModuleSource MakeModuleSource(std::string_view root, std::string path, ModuleNaming naming) {
  ModuleSource source;
  source.name = std::move(naming.name);
  source.kind = std::move(naming.kind);
  source.file = JoinUtf8(root, path);
  source.path = std::move(path);
  if (HasExtension(source.path, ".1s")) {
    std::string head;
    const Status peek = ReadFilePrefix(PathFromUtf8(source.file), 4, head);
    if (!peek.ok()) source.read_error = Status::Error(peek.code(), source.path + ": " + peek.message());
    source.encoding = StartsWithByteOrderMark(head) ? Encoding::Auto : Encoding::Cp1251;
  }
  return source;
}

}  // namespace ramulet
