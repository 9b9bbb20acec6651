#include <cstdint>
#include <limits>
#include <string>

#include "panel/ramulet.h"

namespace ramulet {

namespace {

Status StaleTables() {
  return Status::Error(Status::kOutOfRange,
                       "Таблицы процедур не соответствуют списку методов: обновите панель кнопкой «Обновить»");
}

Status NoDocument() {
  return Status::Error(Status::kFail, "Нет текстового документа: обновите панель кнопкой «Обновить»");
}

bool HasMethod(const MethodTables& tables, int32_t method) {
  return tables.analyzed && method >= 0 && method <= tables.LastMeth;
}

}  // namespace

Status Ramulet::Modul_Change() {
  int32_t sel = controls_.Modul->ListIndex();
  if (sel < 0) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(controls_.ListBox1->Clear());
  RAMULET_RETURN_IF_ERROR(controls_.ListBox2->Clear());
  if (!HasMethod(tables_, sel)) return StaleTables();
  for (int32_t k = 1; k <= tables_.CallCount(sel); ++k) {
    RAMULET_RETURN_IF_ERROR(controls_.ListBox1->AddItem(tables_.MethName[tables_.CallTarget(sel, k)]));
  }
  for (int32_t k = 1; k <= tables_.CallerCount(sel); ++k) {
    RAMULET_RETURN_IF_ERROR(controls_.ListBox2->AddItem(tables_.MethName[tables_.CallerList(sel, k)]));
  }
  return SelectHeaderLine(sel);
}

// Selects the whole header line of `method` in the host's editor.
Status Ramulet::SelectHeaderLine(int32_t method) {
  const VariantArray* headers = tables_.b.AsArray();
  if (!headers || static_cast<size_t>(method) >= headers->size()) return StaleTables();
  const Variant& stored_line = (*headers)[method];
  std::optional<int32_t> line = stored_line.ToInt32();
  if (!line) return Status::Error(Status::kTypeMismatch, "Строка заголовка процедуры не является числом");
  if (!tables_.curTextDoc) return NoDocument();
  int32_t end_column = 0;
  RAMULET_RETURN_IF_ERROR(tables_.curTextDoc->LineEnd(*line, end_column));
  return tables_.curTextDoc->Select(*line, 0, stored_line, Variant::Int32(end_column));
}

Status Ramulet::Modul_Click() { return Modul_Change(); }

Status Ramulet::ListBox1_Click() {
  int32_t sel = controls_.Modul->ListIndex();
  int32_t position = controls_.ListBox1->ListIndex();
  if (sel < 0 || position < 0) return Status::Ok();
  if (!HasMethod(tables_, sel) || position + 1 > tables_.CallCount(sel)) return StaleTables();
  int32_t line = tables_.CallLine(sel, position + 1);
  if (!tables_.curTextDoc) return NoDocument();
  return tables_.curTextDoc->Select(line, 0, Variant::Int32(line + 1), Variant::Int16(0));
}

Status Ramulet::ListBox2_Click() {
  int32_t idx = tables_.NomMet(controls_.ListBox2->SelectedText());
  if (idx == -1) return Status::Ok();
  if (idx > std::numeric_limits<int16_t>::max()) {
    return Status::Error(Status::kOutOfRange, "Номер процедуры " + std::to_string(idx) + " слишком велик для списка");
  }
  return controls_.Modul->SetListIndex(static_cast<int16_t>(idx));
}

// Failures of the steps are ignored, as the tree's users expect a click to
// do what it can; a node that is not in the current tree does nothing. Only
// running out of memory is handed on, so that the user hears of it.
Status Ramulet::TreeView1_NodeClick(int32_t node) {
  if (node < 1 || node > tree_->nodes.Count()) return Status::Ok();
  int32_t idx = tables_.NomMet(tree_->nodes.Text(node));
  if (idx == -1 || idx > std::numeric_limits<int16_t>::max()) return Status::Ok();
  EventScope scope(event_depth_);
  Status picked = controls_.Modul->SetListIndex(static_cast<int16_t>(idx));
  Status changed = Modul_Change();
  for (const Status* step : {&picked, &changed}) {
    if (step->code() == Status::kOutOfMemory) return *step;
  }
  return Status::Ok();
}

}  // namespace ramulet
