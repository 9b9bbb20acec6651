#include "tests/support/test_module.h"

#include "platform/text.h"

namespace ramulet {

std::vector<std::u16string> ModuleLines(std::string_view utf8) {
  std::vector<std::u16string> lines;
  if (utf8.empty()) return lines;
  size_t start = 0;
  while (true) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) {
      lines.push_back(Utf8ToUtf16(utf8.substr(start)));
      break;
    }
    lines.push_back(Utf8ToUtf16(utf8.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

std::shared_ptr<MemoryTextModule> MakeModule(std::string_view utf8, std::shared_ptr<HostCallLog> log) {
  return std::make_shared<MemoryTextModule>(ModuleLines(utf8), std::move(log));
}

}  // namespace ramulet
