#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "panel/refresh.h"
#include "platform/status.h"

namespace ramulet {

struct CallTree;

// The child controls of the panel, as the panel's code sees them. The
// headless implementations serve the tests and the command line; the
// Windows build puts real controls behind the same interfaces.
//
// Events: a control calls the handler that the panel installed. A handler
// returns the Status that ended it; the control hands that on to whoever
// raised the event (a click by the user reports it, a selection set from
// code returns it).
using EventHandler = std::function<Status()>;

// Width in twips, single precision, as the container's Width property.
class Sizable {
 public:
  virtual ~Sizable() = default;
  virtual Status SetWidth(float twips) = 0;
  virtual float Width() const = 0;
};

class PushButton : public Sizable {
 public:
  virtual void OnClick(EventHandler handler) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
};

class ListBox : public Sizable {
 public:
  virtual Status Clear() = 0;
  virtual Status AddItem(std::u16string_view text) = 0;
  virtual int32_t ItemCount() const = 0;
  virtual std::u16string Item(int32_t position) const = 0;
  // Selected position, -1 when nothing is selected.
  virtual int32_t ListIndex() const = 0;
  // Text of the selected entry, empty when nothing is selected.
  virtual std::u16string SelectedText() const = 0;
  virtual void OnClick(EventHandler handler) = 0;
};

// A drop-down list: entries to choose from, no editable text. Setting the
// selected position from code raises the click notification, and so runs
// the click handler, before SetListIndex returns.
class ComboBox : public MethodList {
 public:
  virtual int32_t ItemCount() const = 0;
  virtual std::u16string Item(int32_t position) const = 0;
  virtual int32_t ListIndex() const = 0;
  virtual Status SetListIndex(int16_t position) = 0;
  virtual void OnClick(EventHandler handler) = 0;
  virtual void OnChange(EventHandler handler) = 0;
  // A refresh clears and refills the whole list between BeginFill and
  // EndFill: a list drawn on screen may put off its redrawing until
  // EndFill, which brings it up to date. Pairs may nest; the outermost
  // pair counts.
  virtual void BeginFill() {}
  virtual void EndFill() {}
};

// Shows the call tree; a click on a node reports the node's index.
class TreeView : public Sizable {
 public:
  // Shows `tree` afresh (after a build). The view may show nodes lazily.
  virtual Status ShowTree(std::shared_ptr<const CallTree> tree) = 0;
  virtual void OnNodeClick(std::function<Status(int32_t node)> handler) = 0;
};

// The panel's own surface: its current width in twips, and the resize
// notification its container raises whenever it sets the panel's size.
class PanelSurface {
 public:
  virtual ~PanelSurface() = default;
  virtual float Width() const = 0;
  virtual void OnResize(EventHandler handler) = 0;
};

// The seven controls and the panel surface. The panel does not own them.
struct PanelControls {
  PushButton* CommandButton1;
  TreeView* TreeView1;
  Label* Label1;
  ListBox* ListBox1;
  Label* Label2;
  ListBox* ListBox2;
  ComboBox* Modul;
  PanelSurface* UserControl;
};

}  // namespace ramulet
