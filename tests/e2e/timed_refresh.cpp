#include "tests/e2e/timed_refresh.h"

#include <chrono>

#include "tests/e2e/box_watcher.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

constexpr int kLinesPerMethod = 10;

}  // namespace

std::wstring GeneratedModule(const std::wstring& prefix, int lines) {
  std::wstring text;
  int methods = lines / kLinesPerMethod;
  for (int i = 0; i < methods; ++i) {
    std::wstring name = prefix + std::to_wstring(i);
    text += L"Процедура " + name + L"(Параметр)\r\n";
    for (int body = 0; body < kLinesPerMethod - 2; ++body) {
      int callee = i + 1 + body % 2;
      if (body < 2 && callee < methods) {
        text += L"\t" + prefix + std::to_wstring(callee) + L"(Параметр);\r\n";
      } else {
        text += L"\tСумма = Сумма + " + std::to_wstring(body) + L";\r\n";
      }
    }
    text += L"КонецПроцедуры\r\n";
  }
  for (int rest = methods * kLinesPerMethod; rest < lines; ++rest) text += L"// конец модуля\r\n";
  return text;
}

RefreshTime TimedRefresh(const PanelView& view) {
  TakeTimeBoxesWaited();
  auto start = std::chrono::steady_clock::now();
  SendMessageW(view.button, BM_CLICK, 0, 0);
  auto elapsed = std::chrono::steady_clock::now() - start;
  Pump();
  double question = TakeTimeBoxesWaited();
  return {std::chrono::duration<double, std::milli>(elapsed).count() - question, question};
}

}  // namespace e2e
