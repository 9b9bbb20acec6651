#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/e2e_context.h"

namespace e2e {

// `lines` lines of methods of ten lines each, named `prefix` and a number;
// method i calls methods i + 1 and i + 2.
std::wstring GeneratedModule(const std::wstring& prefix, int lines);

// A refresh's time, without the time its question box stood open until
// the box watcher's timer answered it (a user's time, not the panel's).
struct RefreshTime {
  double work_ms;
  double question_ms;
};

// Clicks "Обновить" and times the click until the refresh returns.
RefreshTime TimedRefresh(const PanelView& view);

}  // namespace e2e
