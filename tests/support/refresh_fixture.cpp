#include "tests/support/refresh_fixture.h"

#include "host/host_configurator.h"
#include "platform/text.h"
#include "tests/support/analysis_lines.h"
#include "tests/support/test_module.h"

namespace ramulet {

RefreshRun::RefreshRun(std::string_view utf8_module) : module(MakeModule(utf8_module, log)) {
  HostConfigurator::Set(MakeMemoryHost(module));
}

Status RefreshRun::Run() {
  auto count_build = [this](const ModuleAnalysis&, MethodTables&) {
    ++tree_builds;
    return Status::Ok();
  };
  status = Refresh(SharedAnalyzer(), analysis, tables, modul, boxes, count_build, &report);
  return status;
}

std::string DumpTables(const MethodTables& t) {
  std::string out;
  for (int32_t m = 0; m <= t.LastMeth; ++m) {
    out += std::to_string(m) + " " + Utf16ToUtf8(t.MethName[m]) + " header=" + std::to_string(t.MethStart[m]);
    out += " end=" + std::to_string(t.MethEnd[m]);
    out += " calls=[";
    for (int32_t p = 1; p <= t.CallCount(m); ++p) {
      if (p > 1) out += ",";
      out += Utf16ToUtf8(t.MethName[t.CallTarget(m, p)]) + "@" + std::to_string(t.CallLine(m, p));
    }
    out += "] callers=[";
    for (int32_t p = 1; p <= t.CallerCount(m); ++p) {
      if (p > 1) out += ",";
      out += std::to_string(t.CallerList(m, p));
    }
    out += "]\n";
  }
  return out;
}

}  // namespace ramulet
