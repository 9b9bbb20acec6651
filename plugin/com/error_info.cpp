#include "plugin/com/error_info.h"

#include <cstdio>

#include "platform/text.h"
#include "plugin/com/com_ptr.h"
#include "plugin/com/com_text.h"
#include "plugin/com/escaped_exception.h"

namespace ramulet::win32 {

namespace {

constexpr wchar_t kErrorSource[] = L"Korvex.Ramulet";

// The description the callee left for this thread, if it promises one.
std::string CalleeDescription(IUnknown* callee, REFIID iid) {
  ComPtr<ISupportErrorInfo> support;
  if (!callee || FAILED(QueryInterfaceOf(callee, IID_ISupportErrorInfo, support))) return std::string();
  if (support.get()->lpVtbl->InterfaceSupportsErrorInfo(support.get(), iid) != S_OK) return std::string();
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Out()) != S_OK || !info) return std::string();
  BSTR description = nullptr;
  if (FAILED(info.get()->lpVtbl->GetDescription(info.get(), &description))) return std::string();
  std::string text = Utf16ToUtf8(BstrText(description));
  SysFreeString(description);
  return text;
}

}  // namespace

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

HRESULT ReportErrorText(HRESULT hr, const wchar_t* message, REFIID iid) noexcept {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Out()))) {
    create.get()->lpVtbl->SetGUID(create.get(), iid);
    create.get()->lpVtbl->SetSource(create.get(), const_cast<LPOLESTR>(kErrorSource));
    create.get()->lpVtbl->SetDescription(create.get(), const_cast<LPOLESTR>(message));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(QueryInterfaceOf(create.get(), IID_IErrorInfo, info))) SetErrorInfo(0, info.get());
  }
  return hr;
}

HRESULT ReportError(HRESULT hr, const std::string& message, REFIID iid) noexcept {
  try {
    std::u16string description = Utf8ToUtf16(message);
    return ReportErrorText(hr, WideOf(description), iid);
  } catch (...) {
    return ReportErrorText(hr, DescribeCurrentException().text, iid);
  }
}

HRESULT ReportError(const Status& status, REFIID iid) noexcept {
  if (status.ok()) return status.code();
  return ReportError(status.code(), status.message(), iid);
}

std::string HostFailureText(const std::string& request, HRESULT hr) {
  return request + ": программа-хост вернула ошибку " + HresultText(hr);
}

Status CallFailure(HRESULT hr, const std::string& request, IUnknown* callee, REFIID iid) {
  std::string message = HostFailureText(request, hr);
  std::string description = CalleeDescription(callee, iid);
  if (!description.empty()) message += ": " + description;
  return Status::Error(hr, message);
}

}  // namespace ramulet::win32
