#pragma once

#include "plugin/com/com.h"

#include <memory>
#include <string>

#include "platform/status.h"
#include "tools/host_app/configurator_class.h"
#include "tools/host_app/editor_text.h"
#include "tools/host_app/panel_container.h"

namespace ramulet::win32 {

// The host's window: the module in an editor on the left and the panel
// docked on the right over the full height, under a caption bar with the
// title the panel gave. The panel's column is a third of the window, at
// least the panel's design width.
class HostAppWindow {
 public:
  static Status Create(const std::wstring& file_name, const std::wstring& module_text,
                       std::unique_ptr<HostAppWindow>& window);
  HostAppWindow(const HostAppWindow&) = delete;
  HostAppWindow& operator=(const HostAppWindow&) = delete;
  ~HostAppWindow();

  HWND hwnd() const { return hwnd_; }
  HWND editor() const { return editor_; }
  HWND caption() const { return caption_; }
  PanelContainer& container() { return container_; }
  ConfiguratorClass& configurator_class() { return configurator_class_; }
  void SetModuleText(const std::wstring& text);

  // Runs the message loop until the window closes; the exit code.
  static int RunMessageLoop(HWND dialog_window);
  // What the loop does with a message before it is dispatched: a key for
  // the panel goes to the panel's container first. True when it was used
  // there and must not be dispatched.
  static bool PreTranslateMessage(MSG& message);

 private:
  HostAppWindow() = default;
  Status CreateWindows(const std::wstring& file_name, const std::wstring& module_text);
  Status CreatePanel();
  void Layout();
  RECT PanelColumn() const;

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnDestroy();

  HWND hwnd_ = nullptr;
  HWND editor_ = nullptr;
  HWND caption_ = nullptr;
  HFONT editor_font_ = nullptr;
  EditorText* text_ = nullptr;
  ConfiguratorClass configurator_class_;
  PanelContainer container_;
  int caption_height_ = 20;
};

}  // namespace ramulet::win32
