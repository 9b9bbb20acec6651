#pragma once

#include "plugin/com/com.h"

#include "plugin/com/com_ptr.h"
#include "tools/host_app/editor_text.h"

namespace ramulet::win32 {

// The host's class ConfigHost, registered in this process with
// CoRegisterClassObject, so that a panel that lost its configurator (after
// IConfigPlugin::Done) gets a new one over the same editor.
class ConfiguratorClass {
 public:
  ConfiguratorClass() = default;
  ConfiguratorClass(const ConfiguratorClass&) = delete;
  ConfiguratorClass& operator=(const ConfiguratorClass&) = delete;
  ~ConfiguratorClass() { Revoke(); }

  HRESULT Register(EditorText* text);
  void Revoke();
  // How many configurators the class has made.
  LONG Created() const;

 private:
  ComPtr<IClassFactory> factory_;
  DWORD cookie_ = 0;
};

}  // namespace ramulet::win32
