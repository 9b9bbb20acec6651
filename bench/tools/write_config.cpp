// Writes a generated configuration into a folder, for timing whole
// programs on it:
//   write_config DIR [--old] [--modules N] [--lines N] [--seed N]
// By default the newer platform's designer dump of a large public
// library's shape (2,200 modules, 1.1 M lines); --old an old-platform dump
// (518 modules, 300,000 lines). --modules scales the lines, common and
// global modules with it, unless --lines is given. Prints what was written.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "tests/support/config_generator.h"

namespace {

int Usage() {
  std::cerr << "usage: write_config DIR [--old] [--modules N] [--lines N] [--seed N]\n";
  return 2;
}

bool ReadNumber(const char* text, int64_t& value) {
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && value > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') return Usage();
  std::string dir = argv[1];
  bool old = false;
  int64_t modules = 0, lines = 0, seed = 1;
  for (int i = 2; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--old") {
      old = true;
      continue;
    }
    int64_t* field = option == "--modules" ? &modules : option == "--lines" ? &lines : option == "--seed" ? &seed : nullptr;
    if (field == nullptr || i + 1 >= argc || !ReadNumber(argv[++i], *field)) return Usage();
  }
  auto generation = old ? ramulet::ConfigShape::Generation::kOld : ramulet::ConfigShape::Generation::kNewer;
  ramulet::ConfigShape shape = ramulet::DefaultConfigShape(generation);
  if (modules > 0) {
    shape = ramulet::DefaultConfigShape(generation, static_cast<double>(modules) / shape.modules);
    shape.modules = static_cast<int32_t>(modules);
  }
  if (lines > 0) shape.lines = lines;
  shape.seed = static_cast<uint32_t>(seed);

  auto start = std::chrono::steady_clock::now();
  ramulet::GeneratedConfig written;
  ramulet::Status status = ramulet::WriteGeneratedConfiguration(shape, dir, &written);
  if (!status.ok()) {
    std::cerr << "write_config: " << status.message() << '\n';
    return 1;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << dir << ": " << written.modules << " modules, " << written.lines << " lines, " << written.bytes
            << " bytes, " << written.exported_methods << " exported methods, written in " << seconds << " s\n";
  return 0;
}
