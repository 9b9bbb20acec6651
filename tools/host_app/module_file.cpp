#include "tools/host_app/module_file.h"

#include <windows.h>

#include "plugin/controls/wide_text.h"
#include "plugin/controls/win32_status.h"
#include "textio/line_splitter.h"
#include "textio/text_decoding.h"

namespace ramulet::win32 {

namespace {

Status ReadBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastErrorStatus("cannot open the module file");
  LARGE_INTEGER size;
  Status status;
  if (!GetFileSizeEx(file, &size)) {
    status = LastErrorStatus("cannot read the size of the module file");
  } else if (size.QuadPart > 0x7fffffff) {
    status = Status::Error(Status::kOutOfRange, "the module file is larger than 2 GB");
  } else {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
      status = LastErrorStatus("cannot read the module file");
    }
  }
  CloseHandle(file);
  return status;
}

}  // namespace

std::wstring EditorTextOf(std::u16string_view module_text) {
  std::wstring text;
  text.reserve(module_text.size() + module_text.size() / 16);
  for (const std::u16string& line : SplitLines(module_text)) {
    text += ToWide(line);
    text += L"\r\n";
  }
  return text;
}

Status ReadModuleFile(const std::wstring& path, std::wstring& text) {
  std::string bytes;
  RAMULET_RETURN_IF_ERROR(ReadBytes(path, bytes));
  std::u16string decoded;
  RAMULET_RETURN_IF_ERROR(DecodeText(bytes, Encoding::Auto, decoded));
  text = EditorTextOf(decoded);
  return Status::Ok();
}

}  // namespace ramulet::win32
