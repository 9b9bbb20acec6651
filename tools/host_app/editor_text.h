#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet::win32 {

// The module as the host's editor (a multi-line EDIT) holds it, line by
// line. The lines are read from the editor once and kept until the text
// changes (the host calls Invalidate on EN_CHANGE), so reading every line
// of a long module costs one copy of the text.
//
// Shared by the host window and the host's COM objects, which may outlive
// the window: counted like them, starting at one reference.
class EditorText {
 public:
  explicit EditorText(HWND editor) : editor_(editor) {}
  EditorText(const EditorText&) = delete;
  EditorText& operator=(const EditorText&) = delete;
  void AddRef() { InterlockedIncrement(&refs_); }
  void Release() {
    if (InterlockedDecrement(&refs_) == 0) delete this;
  }

  // The editor is gone: every later call fails.
  void Detach() { editor_ = nullptr; }
  bool Attached() const { return editor_ != nullptr; }
  void Invalidate() { fresh_ = false; }

  int32_t LineCount();
  // False when `line` is not a line of the module. The text stays valid
  // until the editor's text changes: reading a line copies nothing.
  bool Line(int32_t line, std::wstring_view& text);
  // Selects from (start_line, start_column) to (end_line, end_column) and
  // brings the caret into view. A line may be LineCount() (the end of the
  // text); columns beyond the end of a line stand at its end. False for a
  // negative or too large line or a negative column.
  bool Select(int32_t start_line, int32_t start_column, int32_t end_line, int32_t end_column);

 private:
  void Refresh();
  // Character offset in the editor's text of a line and column.
  bool Offset(int32_t line, int32_t column, int32_t& offset);

  LONG refs_ = 1;
  HWND editor_;
  bool fresh_ = false;
  std::wstring text_;
  std::vector<int32_t> starts_;   // offset of each line in text_
  std::vector<int32_t> lengths_;  // length of each line without its break
};

// Holds one reference to an EditorText.
class EditorTextRef {
 public:
  // Adds a reference of its own to `text` (implicit, so that objects holding
  // one are made from the raw pointer).
  EditorTextRef(EditorText* text) : text_(text) { text_->AddRef(); }
  EditorTextRef(const EditorTextRef&) = delete;
  EditorTextRef& operator=(const EditorTextRef&) = delete;
  ~EditorTextRef() { text_->Release(); }

  EditorText* get() const { return text_; }
  EditorText* operator->() const { return text_; }

 private:
  EditorText* text_;
};

}  // namespace ramulet::win32
