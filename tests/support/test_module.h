#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/memory_host.h"

namespace ramulet {

// Lines of a module written as one UTF-8 text, split at '\n'.
std::vector<std::u16string> ModuleLines(std::string_view utf8);
std::shared_ptr<MemoryTextModule> MakeModule(std::string_view utf8, std::shared_ptr<HostCallLog> log = nullptr);

}  // namespace ramulet
