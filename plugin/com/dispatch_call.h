#pragma once

#include "plugin/com/com.h"

#include <string>

#include "platform/status.h"

namespace ramulet::win32 {

// Late-bound calls by name, as an automation client makes them.

// The dispatch ID of member `name` of `object`; `request` names the member
// in messages, in Russian ("Запрос числа строк").
Status LookUpMember(IDispatch* object, const wchar_t* name, const char* request, DISPID& id);

// Reads member `id` (`request` in messages) as a property or calls it as
// a method with `args`, given in the order they are written. `result` must
// be VT_EMPTY; the caller clears it. Called once per line of a module: a
// call with at most a few arguments allocates nothing.
Status InvokeMember(IDispatch* object, DISPID id, const char* request, VARIANT* args, UINT arg_count, VARIANT& result);

}  // namespace ramulet::win32
