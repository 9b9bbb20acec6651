#include "panel/ramulet.h"

#include <new>
#include <string>

#include "panel/event_guard.h"
#include "panel/panel_tree.h"
#include "panel/refresh.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// Brackets a refresh's changes to `Modul`, on every way out of it.
class MethodListFill {
 public:
  explicit MethodListFill(ComboBox& list) : list_(list) { list_.BeginFill(); }
  ~MethodListFill() { list_.EndFill(); }
  MethodListFill(const MethodListFill&) = delete;
  MethodListFill& operator=(const MethodListFill&) = delete;

 private:
  ComboBox& list_;
};

}  // namespace

Ramulet::Ramulet(PanelControls controls, MessageBoxes& boxes)
    : controls_(controls), boxes_(boxes), tree_(std::make_shared<CallTree>()) {
  InstallHandlers();
}

void Ramulet::InstallHandlers() {
  controls_.CommandButton1->OnClick([this] { return Dispatch(Handler::Refresh, [this] { return CommandButton1_Click(); }); });
  controls_.Modul->OnClick([this] { return Dispatch(Handler::ChooseMethod, [this] { return Modul_Click(); }); });
  controls_.Modul->OnChange([this] { return Dispatch(Handler::ChooseMethod, [this] { return Modul_Change(); }); });
  controls_.ListBox1->OnClick([this] { return Dispatch(Handler::JumpToCall, [this] { return ListBox1_Click(); }); });
  controls_.ListBox2->OnClick([this] { return Dispatch(Handler::ChooseCaller, [this] { return ListBox2_Click(); }); });
  controls_.TreeView1->OnNodeClick(
      [this](int32_t node) { return Dispatch(Handler::ChooseNode, [this, node] { return TreeView1_NodeClick(node); }); });
  controls_.UserControl->OnResize([this] { return Dispatch(Handler::Resize, [this] { return UserControl_Resize(); }); });
}

Status Ramulet::Dispatch(Handler handler, const std::function<Status()>& body) noexcept {
  Status status;
  {
    EventScope scope(event_depth_);
    status = CallGuarded(body);
  }
  if (!status.ok() && event_depth_ == 0) ShowError(handler, status);
  return status;
}

void Ramulet::ShowError(Handler handler, const Status& status) noexcept {
  if (IsBareOutOfMemory(status)) return ShowOutOfMemory();
  try {
    std::string text = std::string(HandlerFailure(handler)) + ":\r\n" + status.message();
    boxes_.Show(Utf8ToUtf16(text), kRamuletTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Error);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
  } catch (...) {
    // The box itself failed: the status still goes back to whoever raised
    // the event, and there is no other way left to tell the user.
  }
}

// Shows the constant text; nothing here allocates on the panel's side.
void Ramulet::ShowOutOfMemory() noexcept {
  try {
    boxes_.Show(kOutOfMemoryText, kRamuletTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Error);
  } catch (...) {
    // As above: the status reports the failure to the caller.
  }
}

const char* Ramulet::HandlerFailure(Handler handler) {
  switch (handler) {
    case Handler::Refresh:
      return "Не удалось обновить список процедур и функций";
    case Handler::ChooseMethod:
      return "Не удалось показать выбранную процедуру";
    case Handler::JumpToCall:
      return "Не удалось перейти к строке вызова";
    case Handler::ChooseCaller:
      return "Не удалось перейти к вызывающей процедуре";
    case Handler::ChooseNode:
      return "Не удалось перейти к процедуре узла дерева";
    case Handler::Resize:
      return "Не удалось изменить размеры панели";
  }
  return "Не удалось выполнить действие";
}

// A refresh that fails may have stopped anywhere: `Modul` may list the new
// module while the tables and the tree describe the old one, or the tables
// may be half rebuilt. So whatever it left is dropped before the error is
// shown, and the panel is empty until the next refresh completes. A refresh
// that stops quietly has changed nothing the panel shows.
Status Ramulet::CommandButton1_Click() {
  MethodListFill fill(*controls_.Modul);
  Status refreshed = CallGuarded([this] {
    return Refresh(analyzer_, analysis_, tables_, *controls_.Modul, boxes_,
                   [this](const ModuleAnalysis& analysis, MethodTables& tables) {
                     return BuildAndShowTree(analysis, tables);
                   });
  });
  if (refreshed.ok()) return refreshed;
  Status emptied = CallGuarded([this] { return EmptyPanel(); });
  if (IsBareOutOfMemory(refreshed)) return refreshed;
  if (emptied.ok()) return refreshed;
  return Status::Error(refreshed.code(), refreshed.message() + "\r\nПанель не удалось очистить: " + emptied.message());
}

// Empties every table (as before the first refresh, except that q counts
// the empty tree's 0 nodes), the tree, both lists and `Modul`.
// `CommonScripts` is not a result of the analysis and stays.
Status Ramulet::EmptyPanel() {
  Variant common_scripts = std::move(tables_.CommonScripts);
  tables_ = MethodTables();
  tables_.CommonScripts = std::move(common_scripts);
  analysis_.Clear();
  ClearCallTree(*tree_);
  tables_.q = Variant::Int32(0);
  // Each control is emptied even when another one fails.
  const Status steps[] = {
      CallGuarded([this] { return controls_.Modul->Clear(); }),
      CallGuarded([this] { return controls_.ListBox1->Clear(); }),
      CallGuarded([this] { return controls_.ListBox2->Clear(); }),
      CallGuarded([this] { return controls_.TreeView1->ShowTree(tree_); }),
  };
  for (const Status& step : steps) RAMULET_RETURN_IF_ERROR(step);
  return Status::Ok();
}

Status Ramulet::BuildAndShowTree(const ModuleAnalysis& analysis, MethodTables& tables) {
  Status built = BuildPanelTree(analysis, *tree_, tables, node_ceiling_);
  RAMULET_RETURN_IF_ERROR(controls_.TreeView1->ShowTree(tree_));
  RAMULET_RETURN_IF_ERROR(built);
  if (tree_->truncated) ReportTruncatedTree();
  return Status::Ok();
}

void Ramulet::ReportTruncatedTree() {
  std::string text = "Дерево вызовов сокращено: оно слишком велико, показаны первые " +
                     std::to_string(tree_->nodes.Count()) + " узлов.";
  boxes_.Show(Utf8ToUtf16(text), kRamuletTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
}

Status Ramulet::UserControl_Resize() {
  RAMULET_RETURN_IF_ERROR(controls_.TreeView1->SetWidth(controls_.UserControl->Width()));
  RAMULET_RETURN_IF_ERROR(controls_.CommandButton1->SetWidth(controls_.UserControl->Width()));
  RAMULET_RETURN_IF_ERROR(controls_.ListBox1->SetWidth(controls_.UserControl->Width()));
  return controls_.ListBox2->SetWidth(controls_.UserControl->Width());
}

}  // namespace ramulet
