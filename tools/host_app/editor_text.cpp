#include "tools/host_app/editor_text.h"

namespace ramulet::win32 {

// Lines end at CR LF, as the editor keeps them; a last line without a break
// counts only when it is not empty.
void EditorText::Refresh() {
  fresh_ = true;
  text_.clear();
  starts_.clear();
  lengths_.clear();
  if (!editor_) return;
  int length = GetWindowTextLengthW(editor_);
  text_.resize(static_cast<size_t>(length) + 1);
  text_.resize(static_cast<size_t>(GetWindowTextW(editor_, text_.data(), length + 1)));
  size_t start = 0;
  while (start < text_.size()) {
    size_t end = text_.find(L"\r\n", start);
    size_t line_end = end == std::wstring::npos ? text_.size() : end;
    starts_.push_back(static_cast<int32_t>(start));
    lengths_.push_back(static_cast<int32_t>(line_end - start));
    if (end == std::wstring::npos) break;
    start = end + 2;
  }
}

int32_t EditorText::LineCount() {
  if (!fresh_) Refresh();
  return static_cast<int32_t>(starts_.size());
}

bool EditorText::Line(int32_t line, std::wstring_view& text) {
  if (line < 0 || line >= LineCount()) return false;
  text = std::wstring_view(text_).substr(static_cast<size_t>(starts_[line]), static_cast<size_t>(lengths_[line]));
  return true;
}

bool EditorText::Offset(int32_t line, int32_t column, int32_t& offset) {
  int32_t count = LineCount();
  if (line < 0 || line > count || column < 0) return false;
  if (line == count) {
    offset = static_cast<int32_t>(text_.size());
    return true;
  }
  offset = starts_[line] + (column < lengths_[line] ? column : lengths_[line]);
  return true;
}

bool EditorText::Select(int32_t start_line, int32_t start_column, int32_t end_line, int32_t end_column) {
  int32_t start = 0;
  int32_t end = 0;
  if (!editor_ || !Offset(start_line, start_column, start) || !Offset(end_line, end_column, end)) return false;
  SendMessageW(editor_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  SendMessageW(editor_, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace ramulet::win32
