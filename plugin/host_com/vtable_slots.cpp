// The panel calls the host's interfaces through fixed function-table slots;
// these checks keep our description of them in step with those slots.
#include "plugin/com/com.h"

#include <cstddef>

namespace {

constexpr size_t Slot(size_t index) { return index * sizeof(void*); }

static_assert(offsetof(IConfigPluginVtbl, Init) == Slot(3));
static_assert(offsetof(IConfigPluginVtbl, Done) == Slot(4));
static_assert(offsetof(IConfigPluginVtbl, GetPluginCaps) == Slot(5));
static_assert(offsetof(IConfigPluginVtbl, DoAction) == Slot(6));
static_assert(sizeof(IConfigPluginVtbl) == Slot(7));

static_assert(offsetof(IHostConfiguratorVtbl, Reserved7) == Slot(7));
static_assert(offsetof(IHostConfiguratorVtbl, get_Windows) == Slot(21));
static_assert(offsetof(IHostWindowSetVtbl, get_ActiveWindow) == Slot(8));
static_assert(offsetof(IHostWindowVtbl, get_Document) == Slot(10));
static_assert(offsetof(IHostTextDocumentVtbl, LineEnd) == Slot(20));
static_assert(offsetof(IHostTextDocumentVtbl, Select) == Slot(32));

// _Ramulet: twelve properties (get, put and put-by-reference, curTextDoc
// without put) after IDispatch, then NomMet, RodEst and TestMacros.
static_assert(offsetof(_RamuletVtbl, get_curTextDoc) == Slot(7));
static_assert(offsetof(_RamuletVtbl, get_Method) == Slot(9));
static_assert(offsetof(_RamuletVtbl, putref_CommonScripts) == Slot(41));
static_assert(offsetof(_RamuletVtbl, NomMet) == Slot(42));
static_assert(offsetof(_RamuletVtbl, TestMacros) == Slot(44));

}  // namespace
