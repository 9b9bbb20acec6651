#pragma once

#include "plugin/com/com.h"

#include "platform/object.h"
#include "plugin/com/com_ptr.h"

namespace ramulet::win32 {

// A panel value that stands for a COM object: turned back into a VARIANT
// it gives that very object again.
class ComIdentity {
 public:
  virtual ~ComIdentity() = default;
  // The pointer as it was received; an IDispatch pointer when IsDispatch().
  virtual IUnknown* ComUnknown() const = 0;
  virtual bool IsDispatch() const = 0;
};

// Any COM object a client handed to the panel, kept as it came.
class ComObjectRef : public Object, public ComIdentity {
 public:
  // Holds a reference of its own to `object`.
  ComObjectRef(IUnknown* object, bool is_dispatch)
      : object_(ComPtr<IUnknown>::Retain(object)), is_dispatch_(is_dispatch) {}
  IUnknown* ComUnknown() const override { return object_.get(); }
  bool IsDispatch() const override { return is_dispatch_; }

 private:
  ComPtr<IUnknown> object_;
  bool is_dispatch_;
};

}  // namespace ramulet::win32
