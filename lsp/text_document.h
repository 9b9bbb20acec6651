#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "textio/line_table.h"

namespace ramulet::lsp {

// A place in the text as the client counts it: a 0-based line and a
// 0-based offset in UTF-16 code units.
struct TextPosition {
  int64_t line = 0;
  int64_t character = 0;
};

struct TextRange {
  TextPosition start;
  TextPosition end;
};

// The text of one open document, held once with a table of where each
// line starts, so that edits keep CR, LF and CR LF exactly as sent and
// positions match the client's: every break ends a line (where lines end
// is textio's rule), and the text after the last break is a line of its own
// (possibly empty).
class TextDocument {
 public:
  using Break = LineBreak;

  explicit TextDocument(std::u16string_view text = {});

  // Replaces the whole text.
  void Replace(std::u16string_view text);
  // Replaces `range` by `text`. A character offset past the end of its line
  // means the end of that line, and the start of the line after the last
  // one the end of the text; a line past that, or an end before the start,
  // is refused and leaves the text unchanged. Costs the edit plus the text
  // and the lines after it.
  Status Edit(const TextRange& range, std::u16string_view text);

  int32_t LineCount() const { return static_cast<int32_t>(lines_.size()); }
  // The line without its break; valid until the next change.
  std::u16string_view Line(int32_t line) const { return lines_.Line(text_, static_cast<size_t>(line)); }
  Break LineEnd(int32_t line) const { return lines_.Break(text_, static_cast<size_t>(line)); }
  // The lines a module file of this text has: without the empty line after
  // a final break, as the command line reads a file.
  std::vector<std::u16string> ModuleLines() const;
  // The same lines as views into the text, valid until the next change.
  std::vector<std::u16string_view> ModuleLineViews() const;
  // The number of those lines: the lines themselves are the first ones.
  int32_t ModuleLineCount() const;
  // The whole text with its breaks.
  const std::u16string& Text() const { return text_; }
  // Code units held, breaks counted.
  size_t Size() const { return text_.size(); }

 private:
  TextPosition EndOfTextFor(const TextPosition& position) const;
  void Resplit(size_t first_line, size_t last_line, size_t region_end, ptrdiff_t delta);

  std::u16string text_;
  LineTable lines_;
};

}  // namespace ramulet::lsp
