#include "plugin/com/value_handle.h"

#include <new>

#include "plugin/com/com_object.h"
#include "plugin/com/module.h"

namespace ramulet::win32 {

namespace {

struct ValueHandle {
  IDispatch iface;
  LONG refs;
  std::shared_ptr<Object> value;
  ModuleLock module{};
};

using HandleUnknown = ComUnknown<ValueHandle, IDispatch, IID_IDispatch>;
using HandleDispatch = NoDispatch<IDispatch>;

const IDispatchVtbl kHandleVtbl = {
    RAMULET_UNKNOWN_SLOTS(HandleUnknown),
    RAMULET_DISPATCH_SLOTS(HandleDispatch),
};

}  // namespace

HRESULT CreateValueHandle(std::shared_ptr<Object> value, IDispatch** handle) {
  return NewComObject<ValueHandle>(handle, &kHandleVtbl, std::move(value));
}

std::shared_ptr<Object> ValueBehind(IUnknown* object) {
  auto handle = OwnInterface<IDispatch>(object, IID_IDispatch, &kHandleVtbl);
  return handle ? HandleUnknown::Of(handle.get())->value : nullptr;
}

}  // namespace ramulet::win32
