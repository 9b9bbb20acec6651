#include "panel/ramulet.h"

#include <string>

#include "analysis/module_scanner.h"
#include "platform/text.h"

namespace ramulet {

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
  controls_.TreeView1->OnNodeClick([this](int32_t node) { return TreeView1_NodeClick(node); });
  controls_.UserControl->OnResize([this] { return Dispatch(Handler::Resize, [this] { return UserControl_Resize(); }); });
}

Status Ramulet::Dispatch(Handler handler, const std::function<Status()>& body) {
  ++event_depth_;
  Status status = body();
  --event_depth_;
  if (!status.ok() && event_depth_ == 0) ShowError(handler, status);
  return status;
}

void Ramulet::ShowError(Handler handler, const Status& status) {
  std::string what;
  switch (handler) {
    case Handler::Refresh:
      what = "Не удалось обновить список процедур и функций";
      break;
    case Handler::ChooseMethod:
      what = "Не удалось показать выбранную процедуру";
      break;
    case Handler::JumpToCall:
      what = "Не удалось перейти к строке вызова";
      break;
    case Handler::ChooseCaller:
      what = "Не удалось перейти к вызывающей процедуре";
      break;
    case Handler::Resize:
      what = "Не удалось изменить размеры панели";
      break;
  }
  std::string text = what + ":\r\n" + status.message();
  boxes_.Show(Utf8ToUtf16(text), kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Error);
}

// A refresh that fails may have stopped anywhere: `Modul` may list the new
// module while the tables and the tree describe the old one, or the tables
// may be half rebuilt. So whatever it left is dropped before the error is
// shown, and the panel is empty until the next refresh completes. A refresh
// that stops quietly has changed nothing the panel shows.
Status Ramulet::CommandButton1_Click() {
  Status refreshed =
      Refresh(tables_, *controls_.Modul, boxes_, [this](MethodTables& tables) { return BuildAndShowTree(tables); });
  if (refreshed.ok()) return refreshed;
  Status emptied = EmptyPanel();
  if (emptied.ok()) return refreshed;
  return Status::Error(refreshed.code(), refreshed.message() + "\r\nПанель не удалось очистить: " + emptied.message());
}

// Every table, the tree, both lists and `Modul`, as before the first
// refresh. `CommonScripts` is not a result of the analysis and stays.
Status Ramulet::EmptyPanel() {
  Variant common_scripts = std::move(tables_.CommonScripts);
  tables_ = MethodTables();
  tables_.CommonScripts = std::move(common_scripts);
  ClearCallTree(*tree_);
  tables_.q = Variant::Int32(0);
  Status shown = controls_.TreeView1->ShowTree(tree_);
  Status cleared[] = {controls_.ListBox1->Clear(), controls_.ListBox2->Clear(), controls_.Modul->Clear()};
  RAMULET_RETURN_IF_ERROR(shown);
  for (const Status& status : cleared) RAMULET_RETURN_IF_ERROR(status);
  return Status::Ok();
}

Status Ramulet::BuildAndShowTree(MethodTables& tables) {
  Status built = BuildCallTree(tables, *tree_, node_ceiling_);
  RAMULET_RETURN_IF_ERROR(controls_.TreeView1->ShowTree(tree_));
  RAMULET_RETURN_IF_ERROR(built);
  if (tree_->truncated) ReportTruncatedTree();
  return Status::Ok();
}

void Ramulet::ReportTruncatedTree() {
  std::string text = "Дерево вызовов сокращено: оно слишком велико, показаны первые " +
                     std::to_string(tree_->nodes.Count()) + " узлов.";
  boxes_.Show(Utf8ToUtf16(text), kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
}

Status Ramulet::UserControl_Resize() {
  RAMULET_RETURN_IF_ERROR(controls_.TreeView1->SetWidth(controls_.UserControl->Width()));
  RAMULET_RETURN_IF_ERROR(controls_.CommandButton1->SetWidth(controls_.UserControl->Width()));
  RAMULET_RETURN_IF_ERROR(controls_.ListBox1->SetWidth(controls_.UserControl->Width()));
  return controls_.ListBox2->SetWidth(controls_.UserControl->Width());
}

}  // namespace ramulet
