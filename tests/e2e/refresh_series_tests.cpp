#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/box_watcher.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/timed_refresh.h"
#include "tests/e2e/ui_actions.h"

// Refreshes of one large module after another in one process: the spread
// of their times for the record, and checks that nothing a refresh leaves
// behind piles up from one refresh to the next.

namespace e2e {

namespace {

constexpr int kRuns = 7;
// The first refreshes fill caches that later ones reuse (the heap's free
// lists, glyphs, the tree's node blocks): growth is counted from here on.
constexpr int kSettlingRuns = 2;
// Far less than one refresh of the 60000-line module holds (its tree's
// nodes alone take some 24 MB), far more than the heap's own noise.
constexpr SIZE_T kMaxGrowthBytes = SIZE_T{6} << 20;

// The memory committed to the process (what Wine reports of it).
SIZE_T CommittedBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.PagefileUsage;
}

int TreeItemCount(HWND tree) { return static_cast<int>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)); }

std::string Milliseconds(double ms) { return std::to_string(static_cast<int>(ms + 0.5)); }

void PrintSpread(int lines, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  Print("time: " + std::to_string(times.size()) + " refreshes of a " + std::to_string(lines) +
        "-line module through the COM host, one after another: min " + Milliseconds(times.front()) +
        " / median " + Milliseconds(times[times.size() / 2]) + " / max " + Milliseconds(times.back()) + " ms\n");
}

void RefreshSeries(Context& context, int lines) {
  const PanelView& view = context.view;
  const int methods = lines / 10;
  const std::string name = std::to_string(lines) + "-line module";
  std::vector<double> times;
  SIZE_T settled = 0;
  SIZE_T last = 0;
  bool listed = true;
  // The user clicks "Обновить" again and again on one module (the host's
  // editor takes seconds to take a new text of this size).
  context.host->SetModuleText(GeneratedModule(L"Снова", lines));
  // The editor repaints its new text before the first click, not inside
  // the question box's message loop, where it would be timed as the panel's.
  Pump();
  for (int run = 0; run < kRuns; ++run) {
    AnswerNextBoxWith(IDYES);
    times.push_back(TimedRefresh(view).work_ms);
    listed = listed && ComboCount(view.modul) == methods && TreeItemCount(view.tree) == methods;
    last = CommittedBytes();
    if (run + 1 == kSettlingRuns) settled = last;
  }
  context.TakeBoxLog();
  Check("each refresh of the " + name + " lists its methods, and the tree holds only their items", listed,
        std::to_string(ComboCount(view.modul)) + " entries, " + std::to_string(TreeItemCount(view.tree)) +
            " tree items");
  Check("the memory the process holds stays level over " + std::to_string(kRuns - kSettlingRuns) +
            " further refreshes of the " + name,
        settled > 0 && last <= settled + kMaxGrowthBytes,
        std::to_string(settled >> 10) + " KB after refresh " + std::to_string(kSettlingRuns) + ", " +
            std::to_string(last >> 10) + " KB after refresh " + std::to_string(kRuns));
  PrintSpread(lines, times);
}

}  // namespace

void TestRefreshSeries(Context& context) {
  context.TakeBoxLog();
  RefreshSeries(context, 10000);
  RefreshSeries(context, 60000);
}

}  // namespace e2e
