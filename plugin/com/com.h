#pragma once

// Every Windows source of the plug-in includes this first: COM interfaces as
// C structs with explicit vtables, and the interfaces of our type libraries.
// The call macros (COBJMACROS) stay off: IConfigPlugin_Init and its kin are
// also the names of the panel's own operations.
#ifndef CINTERFACE
#define CINTERFACE
#endif
// Our vtables are constant tables.
#ifndef CONST_VTABLE
#define CONST_VTABLE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <oleauto.h>

#include "host_library.h"
#include "korvex.h"
#include "value_objects.h"
