#include "plugin/host_com/host_document.h"

#include "plugin/com/com_text.h"
#include "plugin/com/dispatch_call.h"
#include "plugin/com/error_info.h"
#include "plugin/com/variant_convert.h"

namespace ramulet::win32 {

namespace {

constexpr const wchar_t* kMemberNames[] = {L"ActivePage", L"Page", L"LineCount", L"Range"};
// The members as the user reads of them in an error box.
constexpr const char* kMemberRequests[] = {"Запрос активной страницы", "Запрос страницы", "Запрос числа строк",
                                          "Запрос текста строки"};
constexpr const char kKindRequest[] = "Запрос вида документа";

// Owns a VARIANT for the length of a call.
struct ScopedVariant {
  ScopedVariant() { VariantInit(&value); }
  ~ScopedVariant() { VariantClear(&value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT value;
};

Status ToInt32(VARIANT& value, const char* request, int32_t& number) {
  HRESULT hr = VariantChangeType(&value, &value, 0, VT_I4);
  if (FAILED(hr)) {
    return Status::Error(hr, std::string(request) + ": программа-хост вернула не 32-битное целое число (ошибка " +
                                 HresultText(hr) + ")");
  }
  number = V_I4(&value);
  return Status::Ok();
}

}  // namespace

Status LateBoundDocument::Id(Member member, DISPID& id) {
  if (!ids_[member]) {
    DISPID found = DISPID_UNKNOWN;
    RAMULET_RETURN_IF_ERROR(LookUpMember(document_.get(), kMemberNames[member], kMemberRequests[member], found));
    ids_[member] = found;
  }
  id = *ids_[member];
  return Status::Ok();
}

Status LateBoundDocument::Call(Member member, VARIANT* args, UINT arg_count, VARIANT& result) {
  DISPID id = DISPID_UNKNOWN;
  RAMULET_RETURN_IF_ERROR(Id(member, id));
  return InvokeMember(document_.get(), id, kMemberRequests[member], args, arg_count, result);
}

Status LateBoundDocument::Kind(int32_t& kind) {
  ScopedVariant result;
  RAMULET_RETURN_IF_ERROR(InvokeMember(document_.get(), DISPID_VALUE, kKindRequest, nullptr, 0, result.value));
  return ToInt32(result.value, kKindRequest, kind);
}

Status LateBoundDocument::ActivePage(Variant& page) {
  ScopedVariant result;
  RAMULET_RETURN_IF_ERROR(Call(kActivePage, nullptr, 0, result.value));
  return FromVariant(result.value, page);
}

Status LateBoundDocument::Page(const Variant& activePage, std::shared_ptr<HostDocument>& page) {
  ScopedVariant argument;
  RAMULET_RETURN_IF_ERROR(ToVariant(activePage, argument.value));
  ScopedVariant result;
  RAMULET_RETURN_IF_ERROR(Call(kPage, &argument.value, 1, result.value));
  HRESULT hr = VariantChangeType(&result.value, &result.value, 0, VT_DISPATCH);
  if (FAILED(hr) || !V_DISPATCH(&result.value)) {
    return Status::Error(DISP_E_TYPEMISMATCH,
                         std::string(kMemberRequests[kPage]) + ": программа-хост не вернула документ");
  }
  page = std::make_shared<ComDocument>(ComPtr<IDispatch>::Retain(V_DISPATCH(&result.value)));
  return Status::Ok();
}

Status LateBoundDocument::LineCount(int32_t& count) {
  ScopedVariant result;
  RAMULET_RETURN_IF_ERROR(Call(kLineCount, nullptr, 0, result.value));
  return ToInt32(result.value, kMemberRequests[kLineCount], count);
}

Status LateBoundDocument::Range(int32_t line, std::u16string_view& text) {
  LONG by_reference = line;  // a copy: whatever the host does to it stays here
  VARIANT argument;
  V_VT(&argument) = VT_BYREF | VT_I4;
  V_I4REF(&argument) = &by_reference;
  ScopedVariant result;
  RAMULET_RETURN_IF_ERROR(Call(kRange, &argument, 1, result.value));
  // A text as it comes (the usual case) is read as it is: the change of
  // type would copy it to a new string first.
  HRESULT hr = V_VT(&result.value) == VT_BSTR ? S_OK : VariantChangeType(&result.value, &result.value, 0, VT_BSTR);
  if (FAILED(hr)) {
    return Status::Error(hr, std::string(kMemberRequests[kRange]) + ": программа-хост не вернула текст (ошибка " +
                                 HresultText(hr) + ")");
  }
  // The string the host made is kept as it is, without a copy; the
  // variant gives it up so that it is freed only with the next line.
  line_text_.Reset(V_BSTR(&result.value));
  V_VT(&result.value) = VT_EMPTY;
  text = BstrView(line_text_.get());
  return Status::Ok();
}

Status ComDocument::TextDocument(std::shared_ptr<HostTextDocument>& view) {
  ComPtr<IHostTextDocument> text;
  HRESULT hr = QueryInterfaceOf(members_.dispatch(), IID_IHostTextDocument, text);
  if (FAILED(hr)) {
    return Status::Error(hr, "Документ программы-хоста не является текстовым (ошибка " + HresultText(hr) + ")");
  }
  view = std::make_shared<ComTextDocument>(std::move(text));
  return Status::Ok();
}

ComTextDocument::ComTextDocument(ComPtr<IHostTextDocument> text)
    : text_(std::move(text)), members_(ComPtr<IDispatch>::Retain(reinterpret_cast<IDispatch*>(text_.get()))) {}

Status ComTextDocument::TextDocument(std::shared_ptr<HostTextDocument>& view) {
  view = shared_from_this();
  return Status::Ok();
}

Status ComTextDocument::LineEnd(int32_t line, int32_t& column) {
  LONG end = 0;
  HRESULT hr = text_.get()->lpVtbl->LineEnd(text_.get(), line, &end);
  if (FAILED(hr)) return CallFailure(hr, "Запрос конца строки документа", text_.unknown(), IID_IHostTextDocument);
  column = end;
  return Status::Ok();
}

Status ComTextDocument::Select(int32_t startLine, int32_t startColumn, const Variant& endLine,
                               const Variant& endColumn) {
  ScopedVariant end_line, end_column;
  RAMULET_RETURN_IF_ERROR(ToVariant(endLine, end_line.value));
  RAMULET_RETURN_IF_ERROR(ToVariant(endColumn, end_column.value));
  HRESULT hr = text_.get()->lpVtbl->Select(text_.get(), startLine, startColumn, end_line.value, end_column.value);
  if (FAILED(hr)) return CallFailure(hr, "Выделение текста в документе", text_.unknown(), IID_IHostTextDocument);
  return Status::Ok();
}

}  // namespace ramulet::win32
