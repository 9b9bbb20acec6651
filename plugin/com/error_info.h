#pragma once

#include "plugin/com/com.h"

#include <string>

#include "platform/status.h"

namespace ramulet::win32 {

// "0x80020005"
std::string HresultText(HRESULT hr);

// Sets the thread's error information (source "Korvex.Ramulet", the
// status's message, `iid`) and gives the status's code as the HRESULT.
// When the message cannot be converted (no memory left), the error
// information says so instead; neither throws.
HRESULT ReportError(const Status& status, REFIID iid) noexcept;
HRESULT ReportError(HRESULT hr, const std::string& message, REFIID iid) noexcept;
// The same with a text that needs no conversion: allocates no C++ memory.
HRESULT ReportErrorText(HRESULT hr, const wchar_t* message, REFIID iid) noexcept;

// "<request>: программа-хост вернула ошибку 0x80004005": the user's text
// for a request to the host that failed with `hr`.
std::string HostFailureText(const std::string& request, HRESULT hr);

// The Status of a failed request (a Russian phrase such as "Запрос
// документа окна") to a COM object of the host: its HRESULT, and the error
// text the callee left when it supports error information for `iid`.
Status CallFailure(HRESULT hr, const std::string& request, IUnknown* callee, REFIID iid);

}  // namespace ramulet::win32
