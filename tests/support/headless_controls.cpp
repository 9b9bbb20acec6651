#include "tests/support/headless_controls.h"

#include <string>

namespace ramulet {

namespace {

Status Raise(const EventHandler& handler) { return handler ? handler() : Status::Ok(); }

Status CheckWidth(float twips) {
  if (!(twips >= 0)) return Status::Error(Status::kInvalidArgument, "a control's width cannot be negative");
  return Status::Ok();
}

Status NoSuchEntry(int32_t position, size_t count) {
  return Status::Error(Status::kInvalidArgument, "entry " + std::to_string(position) + " does not exist (the list has " +
                                                     std::to_string(count) + " entries)");
}

}  // namespace

Status HeadlessButton::SetWidth(float twips) {
  RAMULET_RETURN_IF_ERROR(CheckWidth(twips));
  width_ = twips;
  return Status::Ok();
}

Status HeadlessButton::Click() { return Raise(on_click_); }

Status HeadlessListBox::SetWidth(float twips) {
  RAMULET_RETURN_IF_ERROR(CheckWidth(twips));
  width_ = twips;
  return Status::Ok();
}

Status HeadlessListBox::Clear() {
  items_.clear();
  index_ = -1;
  return Status::Ok();
}

Status HeadlessListBox::AddItem(std::u16string_view text) {
  items_.emplace_back(text);
  return Status::Ok();
}

std::u16string HeadlessListBox::Item(int32_t position) const {
  return position >= 0 && position < ItemCount() ? items_[position] : std::u16string();
}

std::u16string HeadlessListBox::SelectedText() const { return Item(index_); }

Status HeadlessListBox::Click(int32_t position) {
  if (position < 0 || position >= ItemCount()) return NoSuchEntry(position, items_.size());
  index_ = position;
  return Raise(on_click_);
}

Status HeadlessComboBox::Clear() {
  items_.clear();
  index_ = -1;
  return Status::Ok();
}

Status HeadlessComboBox::Append(std::u16string_view name) {
  items_.emplace_back(name);
  return Status::Ok();
}

std::u16string HeadlessComboBox::Item(int32_t position) const {
  return position >= 0 && position < ItemCount() ? items_[position] : std::u16string();
}

Status HeadlessComboBox::SetListIndex(int16_t position) {
  if (position < -1 || position >= ItemCount()) return NoSuchEntry(position, items_.size());
  index_ = position;
  return Raise(on_click_);
}

Status HeadlessComboBox::Pick(int32_t position) {
  if (position < 0 || position >= ItemCount()) return NoSuchEntry(position, items_.size());
  index_ = position;
  return Raise(on_click_);
}

Status HeadlessTreeView::SetWidth(float twips) {
  RAMULET_RETURN_IF_ERROR(CheckWidth(twips));
  width_ = twips;
  return Status::Ok();
}

Status HeadlessTreeView::ShowTree(std::shared_ptr<const CallTree> tree) {
  shown_ = std::move(tree);
  ++shows_;
  return Status::Ok();
}

Status HeadlessTreeView::ClickNode(int32_t node) {
  return on_node_click_ ? on_node_click_(node) : Status::Ok();
}

Status HeadlessSurface::Resize(float width, float height) {
  width_ = width;
  height_ = height;
  return Raise(on_resize_);
}

}  // namespace ramulet
