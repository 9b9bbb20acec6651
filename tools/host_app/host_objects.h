#pragma once

#include "plugin/com/com.h"

#include "tools/host_app/editor_text.h"

namespace ramulet::win32 {

// The host's COM objects over the editor's text: the configurator (slot 21
// gives the window set), the window set (slot 8 gives the active window,
// the editor), the window (slot 10 gives its document) and the text
// document (kind 2, LineCount and Range by name; slot 20 the end of a line;
// slot 32 the selection). Each takes a reference to `text`.
HRESULT CreateConfiguratorObject(EditorText* text, IHostConfigurator** out);
HRESULT CreateWindowSetObject(EditorText* text, IHostWindowSet** out);
HRESULT CreateWindowObject(EditorText* text, IHostWindow** out);
HRESULT CreateTextDocumentObject(EditorText* text, IHostTextDocument** out);

}  // namespace ramulet::win32
