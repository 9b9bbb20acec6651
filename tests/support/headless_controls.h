#pragma once

#include <memory>
#include <string>
#include <vector>

#include "panel/controls.h"
#include "panel/layout.h"

namespace ramulet {

// In-memory controls: they keep what the panel shows and let a caller
// click, select and resize as a user would. Each user action returns the
// Status of the handler it ran.

class HeadlessSizable {
 protected:
  explicit HeadlessSizable(std::string_view name) : width_(static_cast<float>(DesignOf(name).width)) {}
  float width_;
};

class HeadlessButton : public PushButton, private HeadlessSizable {
 public:
  HeadlessButton() : HeadlessSizable("CommandButton1") {}
  Status SetWidth(float twips) override;
  float Width() const override { return width_; }
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  Status Click();

 private:
  EventHandler on_click_;
};

class HeadlessLabel : public Label {};

class HeadlessListBox : public ListBox, private HeadlessSizable {
 public:
  explicit HeadlessListBox(std::string_view name) : HeadlessSizable(name) {}
  Status SetWidth(float twips) override;
  float Width() const override { return width_; }
  Status Clear() override;
  Status AddItem(std::u16string_view text) override;
  int32_t ItemCount() const override { return static_cast<int32_t>(items_.size()); }
  std::u16string Item(int32_t position) const override;
  int32_t ListIndex() const override { return index_; }
  std::u16string SelectedText() const override;
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  // The user clicks entry `position`.
  Status Click(int32_t position);
  const std::vector<std::u16string>& items() const { return items_; }

 private:
  std::vector<std::u16string> items_;
  int32_t index_ = -1;
  EventHandler on_click_;
};

class HeadlessComboBox : public ComboBox {
 public:
  Status Clear() override;
  Status Append(std::u16string_view name) override;
  int32_t ItemCount() const override { return static_cast<int32_t>(items_.size()); }
  std::u16string Item(int32_t position) const override;
  int32_t ListIndex() const override { return index_; }
  // Fails for a position outside -1 .. ItemCount() - 1.
  Status SetListIndex(int16_t position) override;
  void OnClick(EventHandler handler) override { on_click_ = std::move(handler); }
  void OnChange(EventHandler handler) override { on_change_ = std::move(handler); }
  // The user picks entry `position` from the drop-down list.
  Status Pick(int32_t position);
  const std::vector<std::u16string>& items() const { return items_; }

 private:
  std::vector<std::u16string> items_;
  int32_t index_ = -1;
  EventHandler on_click_;
  EventHandler on_change_;
};

class HeadlessTreeView : public TreeView, private HeadlessSizable {
 public:
  HeadlessTreeView() : HeadlessSizable("TreeView1") {}
  Status SetWidth(float twips) override;
  float Width() const override { return width_; }
  Status ShowTree(std::shared_ptr<const CallTree> tree) override;
  void OnNodeClick(std::function<Status(int32_t node)> handler) override { on_node_click_ = std::move(handler); }
  // The user clicks node `node` (1-based index).
  Status ClickNode(int32_t node);
  const std::shared_ptr<const CallTree>& shown() const { return shown_; }
  int shows() const { return shows_; }

 private:
  std::shared_ptr<const CallTree> shown_;
  int shows_ = 0;
  std::function<Status(int32_t)> on_node_click_;
};

class HeadlessSurface : public PanelSurface {
 public:
  float Width() const override { return width_; }
  float Height() const { return height_; }
  void OnResize(EventHandler handler) override { on_resize_ = std::move(handler); }
  // The container sets the panel's size.
  Status Resize(float width, float height);

 private:
  float width_ = kPanelDesignWidth;
  float height_ = kPanelDesignHeight;
  EventHandler on_resize_;
};

// The seven controls and the surface of one panel.
struct HeadlessPanel {
  HeadlessButton CommandButton1;
  HeadlessTreeView TreeView1;
  HeadlessLabel Label1;
  HeadlessListBox ListBox1{"ListBox1"};
  HeadlessLabel Label2;
  HeadlessListBox ListBox2{"ListBox2"};
  HeadlessComboBox Modul;
  HeadlessSurface UserControl;

  PanelControls controls() {
    return PanelControls{&CommandButton1, &TreeView1, &Label1, &ListBox1, &Label2, &ListBox2, &Modul, &UserControl};
  }
};

}  // namespace ramulet
