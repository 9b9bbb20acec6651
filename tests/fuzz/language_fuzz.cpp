// Feeds arbitrary bytes, read as a module, to the analysis under the
// language's rules and to the plain reading of those rules, and stops at
// the first module they read differently. Until the analyzer takes a rule
// set, only the plain reading runs (which must not crash or hang).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/reference_language.h"
#include "textio/line_splitter.h"

namespace {

using namespace ramulet;

// A member call's receiver is the whole chain before it, so the dumps of a
// module of n units can hold n * n units of receivers: inputs are cut to
// keep every run short.
constexpr size_t kMaxInput = 8 * 1024;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) size = kMaxInput;
  std::u16string text;
  if (size > 0 && data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  } else {
    text = Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
  }
  const std::vector<std::u16string> lines = ReferenceSplitLines(text);
  Check(lines == SplitLines(text));
  const std::string reference = ReferenceLanguageDump(lines);
  const std::optional<std::string> fast = FastLanguageDump(lines);
  if (fast && *fast != reference) {
    std::fprintf(stderr, "plain reading:\n%s\nanalyzer:\n%s\n", reference.c_str(), fast->c_str());
    std::abort();
  }
  return 0;
}
