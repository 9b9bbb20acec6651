#include "textio/module_text.h"

#include <utility>

namespace ramulet {

Status LoadModuleText(std::string&& bytes, Encoding encoding, ModuleText& module) {
  module = ModuleText();
  std::string taken = std::move(bytes);
  std::u16string text;
  Status decoded = DecodeText(taken, encoding, text, &module.notes);
  if (!decoded.ok()) {
    module = ModuleText();
    return decoded;
  }
  if (module.notes.replaced > 0) {
    module.kept_bytes = std::move(taken);
  } else {
    std::string().swap(taken);
  }
  module.lines = TextLines(std::move(text));
  return Status::Ok();
}

}  // namespace ramulet
