#include "tools/host_app/module_file.h"

#include <windows.h>

#include <utility>

#include "plugin/controls/wide_text.h"
#include "plugin/controls/win32_status.h"
#include "textio/module_text.h"
#include "textio/text_lines.h"

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

std::wstring EditorTextOf(const TextLines& lines) {
  std::wstring text;
  text.reserve(lines.text().size() + lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    text += ToWide(lines.Line(i));
    text += L"\r\n";
  }
  return text;
}

std::wstring EditorTextOf(std::u16string_view module_text) { return EditorTextOf(TextLines(std::u16string(module_text))); }

Status ReadModuleFile(const std::wstring& path, std::wstring& text) {
  std::string bytes;
  RAMULET_RETURN_IF_ERROR(ReadBytes(path, bytes));
  ModuleText module;
  RAMULET_RETURN_IF_ERROR(LoadModuleText(std::move(bytes), Encoding::Auto, module));
  text = EditorTextOf(module.lines);
  return Status::Ok();
}

}  // namespace ramulet::win32
