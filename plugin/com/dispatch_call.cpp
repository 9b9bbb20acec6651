#include "plugin/com/dispatch_call.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"
#include "plugin/com/com_text.h"
#include "plugin/com/error_info.h"

namespace ramulet::win32 {

namespace {

// The status of a member that raised an exception: its code, or the
// automation error of its number, and its description.
Status ExceptionStatus(EXCEPINFO& exception, const char* request) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  HRESULT code = exception.scode;
  if (code == S_OK) code = exception.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, exception.wCode) : DISP_E_EXCEPTION;
  std::string message = HostFailureText(request, code);
  if (exception.bstrDescription && SysStringLen(exception.bstrDescription) > 0) {
    message += ": " + Utf16ToUtf8(BstrText(exception.bstrDescription));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return Status::Error(code, message);
}

}  // namespace

Status LookUpMember(IDispatch* object, const wchar_t* name, const char* request, DISPID& id) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->lpVtbl->GetIDsOfNames(object, IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    return Status::Error(hr, std::string(request) + ": документ программы-хоста его не поддерживает (ошибка " +
                                 HresultText(hr) + ")");
  }
  return Status::Ok();
}

Status InvokeMember(IDispatch* object, DISPID id, const char* request, VARIANT* args, UINT arg_count, VARIANT& result) {
  // DISPPARAMS lists the arguments from the last to the first.
  constexpr UINT kFew = 4;
  VARIANT few[kFew];
  std::vector<VARIANT> many(arg_count > kFew ? arg_count : 0);
  VARIANT* reversed = arg_count > kFew ? many.data() : few;
  std::reverse_copy(args, args + arg_count, reversed);
  DISPPARAMS params = {arg_count > 0 ? reversed : nullptr, nullptr, arg_count, 0};
  EXCEPINFO exception = {};
  UINT arg_error = 0;
  HRESULT hr = object->lpVtbl->Invoke(object, id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      &params, &result, &exception, &arg_error);
  if (hr == DISP_E_EXCEPTION) return ExceptionStatus(exception, request);
  if (FAILED(hr)) return Status::Error(hr, HostFailureText(request, hr));
  return Status::Ok();
}

}  // namespace ramulet::win32
