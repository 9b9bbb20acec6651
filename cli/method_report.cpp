#include "cli/method_report.h"

#include "cli/location.h"
#include "platform/text.h"

namespace ramulet {

namespace {

void WriteEntry(const MethodTables& tables, int32_t method, int32_t line, const std::string& file,
                const char* indent, std::ostream& out) {
  out << indent << Location(file, line) << ": " << Utf16ToUtf8(tables.MethName[method]) << '\n';
}

void WriteCalls(const MethodTables& tables, int32_t m, const std::string& file, std::ostream& out) {
  out << (tables.CallCount(m) == 0 ? "  calls: none\n" : "  calls:\n");
  for (int32_t p = 1; p <= tables.CallCount(m); ++p) {
    WriteEntry(tables, tables.CallTarget(m, p), tables.CallLine(m, p), file, "    ", out);
  }
}

void WriteCallers(const MethodTables& tables, int32_t m, const std::string& file, std::ostream& out) {
  out << (tables.CallerCount(m) == 0 ? "  callers: none\n" : "  callers:\n");
  for (int32_t p = 1; p <= tables.CallerCount(m); ++p) {
    int32_t caller = tables.CallerList(m, p);
    WriteEntry(tables, caller, tables.MethStart[caller], file, "    ", out);
  }
}

}  // namespace

void WriteMethodBlock(const MethodTables& tables, int32_t m, const std::string& file, std::ostream& out) {
  WriteEntry(tables, m, tables.MethStart[m], file, "", out);
  WriteCalls(tables, m, file, out);
  WriteCallers(tables, m, file, out);
}

void WriteMethodReport(const MethodTables& tables, const std::string& file, std::ostream& out) {
  if (tables.MethodCount() == 0) {
    out << file << ": no procedures or functions found\n";
    return;
  }
  for (int32_t m = 0; m < tables.MethodCount(); ++m) {
    if (m > 0) out << '\n';
    WriteMethodBlock(tables, m, file, out);
  }
}

}  // namespace ramulet
