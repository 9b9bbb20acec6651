#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/headless_controls.h"
#include "panel/ramulet.h"
#include "tests/support/memory_host.h"
#include "tests/support/scripted_message_boxes.h"

namespace ramulet {

// A panel on headless controls over an in-memory host showing one module.
struct PanelFixture {
  std::shared_ptr<HostCallLog> log = std::make_shared<HostCallLog>();
  std::shared_ptr<MemoryTextModule> module;
  std::shared_ptr<MemoryConfigurator> host;
  ScriptedMessageBoxes boxes;
  HeadlessPanel controls;
  Ramulet panel{controls.controls(), boxes};

  // Installs the host as the thread's configurator through IConfigPlugin_Init.
  explicit PanelFixture(std::string_view utf8_module);

  Status Refresh() { return controls.CommandButton1.Click(); }
  // UTF-8 copies of what the controls show.
  std::vector<std::string> Calls() const;
  std::vector<std::string> Callers() const;
  std::vector<std::string> Methods() const;
  std::string Chosen() const;  // the selected entry of Modul, "" when none
  // The last selection the host was asked to make, as "startLine startColumn endLine endColumn".
  std::string LastSelection() const;
  size_t SelectionCount() const { return module->selections().size(); }
  // The node reached from the top-level node of `path[0]` through the
  // children named by the rest of the path; 0 when there is none.
  int32_t NodeAt(const std::vector<std::u16string>& path) const;
};

}  // namespace ramulet
