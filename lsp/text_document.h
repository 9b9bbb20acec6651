#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

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

// The text of one open document, held as lines with the break that ends
// each of them, so that edits keep CR, LF and CR LF exactly as sent and
// positions match the client's: every break ends a line, and the text
// after the last break is a line of its own (possibly empty).
class TextDocument {
 public:
  enum class Break : uint8_t { kNone, kLf, kCr, kCrLf };

  explicit TextDocument(std::u16string_view text = {});

  // Replaces the whole text.
  void Replace(std::u16string_view text);
  // Replaces `range` by `text`. A character offset past the end of its line
  // means the end of that line, and the start of the line after the last
  // one the end of the text; a line past that, or an end before the start,
  // is refused and leaves the text unchanged.
  Status Edit(const TextRange& range, std::u16string_view text);

  int32_t LineCount() const { return static_cast<int32_t>(lines_.size()); }
  const std::u16string& Line(int32_t line) const { return lines_[static_cast<size_t>(line)]; }
  // The lines a module file of this text has: without the empty line after
  // a final break, as the command line reads a file.
  std::vector<std::u16string> ModuleLines() const;
  // The number of those lines: the lines themselves are the first ones of
  // Lines().
  int32_t ModuleLineCount() const;
  const std::vector<std::u16string>& Lines() const { return lines_; }
  // The whole text with its breaks.
  std::u16string Text() const;
  // Code units held, breaks counted.
  size_t Size() const { return size_; }

 private:
  struct Piece {
    std::u16string text;
    Break end;
  };
  static std::vector<Piece> Split(std::u16string_view text);
  static std::u16string_view BreakText(Break end);
  TextPosition EndOfTextFor(const TextPosition& position) const;
  void Recount();

  std::vector<std::u16string> lines_;
  std::vector<Break> breaks_;
  size_t size_ = 0;
};

}  // namespace ramulet::lsp
