#include "plugin/win32/win32_message_boxes.h"

#include <string>

#include "plugin/win32/controls/wide_text.h"

namespace ramulet::win32 {

namespace {

constexpr wchar_t kLogVariable[] = L"RAMULET_TEST_BOX_LOG";
constexpr wchar_t kAnswersVariable[] = L"RAMULET_TEST_ANSWERS";

std::wstring Environment(const wchar_t* name) {
  DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::wstring();
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// Takes the first answer off the scripted list; No when the list is empty.
MessageBoxes::Answer NextScriptedAnswer() {
  std::wstring answers = Environment(kAnswersVariable);
  size_t comma = answers.find(L',');
  std::wstring first = answers.substr(0, comma);
  std::wstring rest = comma == std::wstring::npos ? std::wstring() : answers.substr(comma + 1);
  SetEnvironmentVariableW(kAnswersVariable, rest.empty() ? nullptr : rest.c_str());
  return first == L"yes" ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No;
}

const char* ButtonsName(MessageBoxes::Buttons buttons) {
  return buttons == MessageBoxes::Buttons::YesNo ? "yesno" : "ok";
}

const char* IconName(MessageBoxes::Icon icon) {
  switch (icon) {
    case MessageBoxes::Icon::Question: return "question";
    case MessageBoxes::Icon::Error: return "error";
    case MessageBoxes::Icon::Information: return "information";
    case MessageBoxes::Icon::None: break;
  }
  return "none";
}

std::string OneLine(std::wstring_view text) {
  std::string line;
  for (char c : Utf8(text)) {
    if (c == '\r') continue;
    if (c == '\n') line += "\\n";
    else line += c;
  }
  return line;
}

void LogBox(const std::wstring& path, std::wstring_view caption, std::wstring_view text,
            MessageBoxes::Buttons buttons, MessageBoxes::Icon icon) {
  std::string line = OneLine(caption) + "|" + ButtonsName(buttons) + "|" + IconName(icon) + "|" + OneLine(text) + "\n";
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

MessageBoxes::Answer AnswerOf(int pressed) {
  switch (pressed) {
    case IDYES: return MessageBoxes::Answer::Yes;
    case IDNO: return MessageBoxes::Answer::No;
    default: return MessageBoxes::Answer::Ok;
  }
}

}  // namespace

UINT PanelMessageBoxes::StyleOf(Buttons buttons, Icon icon) {
  UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::Question: style |= MB_ICONQUESTION; break;
    case Icon::Error: style |= MB_ICONERROR; break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    case Icon::None: break;
  }
  return style;
}

MessageBoxes::Answer PanelMessageBoxes::Show(std::u16string_view text, std::optional<std::u16string_view> title,
                                             Buttons buttons, Icon icon) {
  std::wstring body = ToWide(text);
  // A box without a title of its own still needs an empty caption: a null
  // one makes MessageBoxW write "Error" there.
  std::wstring caption = title ? ToWide(*title) : std::wstring();
  std::wstring log = Environment(kLogVariable);
  if (!log.empty()) {
    LogBox(log, caption, body, buttons, icon);
    return buttons == Buttons::YesNo ? NextScriptedAnswer() : Answer::Ok;
  }
  HWND owner = owner_ ? owner_() : nullptr;
  int pressed = MessageBoxW(owner, body.c_str(), caption.c_str(), StyleOf(buttons, icon));
  // A box that could not be shown is no consent to go on.
  if (pressed == 0) return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  return AnswerOf(pressed);
}

}  // namespace ramulet::win32
