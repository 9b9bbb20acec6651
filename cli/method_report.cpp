#include "cli/method_report.h"

#include <span>

#include "cli/location.h"
#include "platform/text.h"

namespace ramulet {

namespace {

const MethodInfo& MethodAt(const ModuleAnalysis& module, int32_t m) { return module.methods[static_cast<size_t>(m)]; }

void WriteEntry(const ModuleAnalysis& module, int32_t method, int32_t line, const std::string& file,
                const char* indent, std::ostream& out) {
  out << indent << Location(file, line) << ": " << Utf16ToUtf8(MethodAt(module, method).name) << '\n';
}

void WriteCalls(const ModuleAnalysis& module, int32_t m, const std::string& file, std::ostream& out) {
  std::span<const MethodCall> calls = module.CallsFrom(m);
  out << (calls.empty() ? "  calls: none\n" : "  calls:\n");
  for (const MethodCall& call : calls) WriteEntry(module, call.callee, call.line, file, "    ", out);
}

void WriteCallers(const ModuleAnalysis& module, int32_t m, const std::string& file, std::ostream& out) {
  std::span<const int32_t> calls = module.CallsTo(m);
  out << (calls.empty() ? "  callers: none\n" : "  callers:\n");
  for (int32_t call : calls) {
    int32_t caller = module.CallerOf(call);
    WriteEntry(module, caller, MethodAt(module, caller).header_line, file, "    ", out);
  }
}

}  // namespace

void WriteMethodBlock(const ModuleAnalysis& module, int32_t m, const std::string& file, std::ostream& out) {
  WriteEntry(module, m, MethodAt(module, m).header_line, file, "", out);
  WriteCalls(module, m, file, out);
  WriteCallers(module, m, file, out);
}

void WriteMethodReport(const ModuleAnalysis& module, const std::string& file, std::ostream& out) {
  if (module.MethodCount() == 0) {
    out << file << ": no procedures or functions found\n";
    return;
  }
  for (int32_t m = 0; m < module.MethodCount(); ++m) {
    if (m > 0) out << '\n';
    WriteMethodBlock(module, m, file, out);
  }
}

}  // namespace ramulet
