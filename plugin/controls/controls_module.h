#pragma once

#include <windows.h>

namespace ramulet::win32 {

// The module (DLL or executable) that holds the controls' code: the
// instance their windows and window classes belong to.
HINSTANCE ControlsModule();

// Loads the common controls the panel uses (the tree view); once per
// process, safe to call again.
bool InitPanelCommonControls();

}  // namespace ramulet::win32
