// Writes a generated module as UTF-8 with CRLF line ends to standard
// output, for timing whole programs side by side:
//   write_module [--lines N] [--methods N] [--calls X] [--call-lines X]
//                [--layers N] [--short X] [--seed N]
// (the fields of ModuleShape, bench/support/module_generator.h).
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "bench/support/module_generator.h"
#include "platform/text.h"

namespace {

int Usage() {
  std::cerr << "usage: write_module [--lines N] [--methods N] [--calls X] [--call-lines X] [--layers N] "
               "[--short X] [--seed N]\n";
  return 2;
}

bool SetField(ramulet::ModuleShape& shape, const std::string& name, const char* value) {
  if (name == "--lines") shape.lines = std::atoi(value);
  else if (name == "--methods") shape.methods = std::atoi(value);
  else if (name == "--calls") shape.calls_per_method = std::atof(value);
  else if (name == "--call-lines") shape.call_line_share = std::atof(value);
  else if (name == "--layers") shape.layers = std::atoi(value);
  else if (name == "--short") shape.short_share = std::atof(value);
  else if (name == "--seed") shape.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
  else return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ramulet::ModuleShape shape;
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 >= argc || !SetField(shape, argv[i], argv[i + 1])) return Usage();
  }
  std::vector<std::u16string> lines;
  ramulet::Status generated = ramulet::GenerateModule(shape, lines);
  if (!generated.ok()) {
    std::cerr << "write_module: " << generated.message() << '\n';
    return 2;
  }
  std::ios::sync_with_stdio(false);
  for (const std::u16string& line : lines) std::cout << ramulet::Utf16ToUtf8(line) << "\r\n";
  std::cout.flush();
  return std::cout ? 0 : 1;
}
