#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "panel/controls.h"
#include "panel/method_tables.h"
#include "platform/message_box.h"
#include "platform/status.h"
#include "platform/variant.h"
#include "tree/call_tree.h"

namespace ramulet {

// The twelve stored properties of the automation surface, in order; the
// dispatch ID of each is kPropertyDispIdBase plus its value. Each reads the
// MethodTables member of the same name (panel/method_tables.h says what
// it holds: MethodNach the header line of each method, b the header lines
// in order, q the count of tree nodes, and so on).
enum class RamuletProperty : int32_t {
  curTextDoc = 0,
  Method,
  MethodNach,
  MethodKon,
  Meth,
  A,
  b,
  c,
  d,
  q,
  doc,
  CommonScripts,
};
inline constexpr int32_t kPropertyCount = 12;
inline constexpr int32_t kPropertyDispIdBase = 0x40030000;
inline constexpr int32_t kNomMetDispId = 0x6003000B;
inline constexpr int32_t kRodEstDispId = 0x6003000C;
inline constexpr int32_t kTestMacrosDispId = 0x60030016;

// The panel: its tables, its call tree and the handlers of its controls.
// Free of any Windows type; the COM object only translates to it.
class Ramulet {
 public:
  Ramulet(PanelControls controls, MessageBoxes& boxes);
  Ramulet(const Ramulet&) = delete;
  Ramulet& operator=(const Ramulet&) = delete;

  // --- plug-in operations ---
  // Replaces HostConfigurator with `pConfigurator` (Empty or a null object
  // empties it) and gives the title; fails with kNoInterface, keeping the
  // old configurator, when the object is not a configurator.
  Status IConfigPlugin_Init(const Variant& pConfigurator, std::u16string& title);
  void IConfigPlugin_Done();
  Variant IConfigPlugin_GetPluginCaps(int32_t capNum) const;
  Variant IConfigPlugin_DoAction(int32_t Action, const Variant& Param) const;

  // --- automation surface ---
  Status GetProperty(RamuletProperty property, Variant& value) const;
  // Put and put-by-reference alike. curTextDoc takes only a host text
  // document or nothing (kTypeMismatch otherwise).
  Status PutProperty(RamuletProperty property, const Variant& value);
  // The index of the method named `Naim` (a text), or -1.
  Status NomMet(const Variant& Naim, Variant& result) const;
  // Whether `met` is the text of tree node `Node` or of an ancestor; `viv`
  // equal to 1 shows the path in a box (see RodEst in tree/call_tree.h).
  Status RodEst(const Variant& Node, const Variant& met, const Variant& viv, Variant& result);
  void TestMacros() {}

  // --- event handlers ---
  Status CommandButton1_Click();
  Status Modul_Change();
  Status Modul_Click();
  Status ListBox1_Click();
  Status ListBox2_Click();
  Status TreeView1_NodeClick(int32_t node);
  Status UserControl_Resize();

  const MethodTables& tables() const { return tables_; }
  // The analysis of the last refresh (empty before the first one and after
  // a failed one).
  const ModuleAnalysis& analysis() const { return analysis_; }
  // The most nodes a call tree may hold; lowered by tests.
  void set_node_ceiling(int32_t ceiling) { node_ceiling_ = ceiling; }
  std::shared_ptr<const CallTree> tree() const { return tree_; }

 private:
  enum class Handler { Refresh, ChooseMethod, JumpToCall, ChooseCaller, ChooseNode, Resize };
  // Counts the events being handled, also when a handler is left by an
  // exception.
  class EventScope {
   public:
    explicit EventScope(int& depth) : depth_(depth) { ++depth_; }
    ~EventScope() { --depth_; }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

   private:
    int& depth_;
  };

  void InstallHandlers();
  // Runs a handler for an event. When the outermost event ends in an error,
  // the error is shown to the user; events raised from inside a handler
  // (a selection set from code) hand their error to that handler instead.
  // No C++ exception leaves it: the host called in, and it must not see one.
  Status Dispatch(Handler handler, const std::function<Status()>& body) noexcept;
  void ShowError(Handler handler, const Status& status) noexcept;
  void ShowOutOfMemory() noexcept;
  static const char* HandlerFailure(Handler handler);
  void ReportTruncatedTree();
  Status BuildAndShowTree(const ModuleAnalysis& analysis, MethodTables& tables);
  Status EmptyPanel();
  Status SelectHeaderLine(int32_t method);

  PanelControls controls_;
  MessageBoxes& boxes_;
  // Made once per panel: its patterns are compiled when the panel is made.
  const ModuleAnalyzer analyzer_;
  ModuleAnalysis analysis_;
  MethodTables tables_;
  std::shared_ptr<CallTree> tree_;
  int event_depth_ = 0;
  int32_t node_ceiling_ = kNodeCeiling;
};

}  // namespace ramulet
