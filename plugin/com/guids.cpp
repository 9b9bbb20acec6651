// Defines the identifiers declared by our type libraries' headers.
#define CINTERFACE
#include <windows.h>
#include <ole2.h>

#include <initguid.h>

#include "host_library.h"
#include "korvex.h"
#include "value_objects.h"
