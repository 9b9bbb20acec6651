#include "lsp/text_document.h"

#include <algorithm>

namespace ramulet::lsp {

TextDocument::TextDocument(std::u16string_view text) { Replace(text); }

void TextDocument::Replace(std::u16string_view text) {
  text_.assign(text);
  lines_.Build(text_, LineTable::FinalLine::kAlways);
}

Status TextDocument::Edit(const TextRange& range, std::u16string_view text) {
  TextPosition from = EndOfTextFor(range.start);
  TextPosition to = EndOfTextFor(range.end);
  if (from.line < 0 || from.character < 0 || to.line < 0 || to.character < 0) {
    return Status::Error(Status::kInvalidArgument, "the edit has a negative position");
  }
  if (from.line >= LineCount() || to.line >= LineCount()) {
    return Status::Error(Status::kOutOfRange, "the edit reaches past the last line " + std::to_string(LineCount() - 1));
  }
  auto first = static_cast<size_t>(from.line);
  auto last = static_cast<size_t>(to.line);
  size_t from_char = std::min(static_cast<size_t>(from.character), lines_.Length(text_, first));
  size_t to_char = std::min(static_cast<size_t>(to.character), lines_.Length(text_, last));
  if (last < first || (last == first && to_char < from_char)) {
    return Status::Error(Status::kInvalidArgument, "the edit ends before it starts");
  }
  const size_t begin = lines_.Start(first) + from_char;
  const size_t end = lines_.Start(last) + to_char;
  // The lines from `first` to `last` are split anew, breaks included. A
  // lone CR that ends the line before the edit joins an LF inserted at the
  // start of the edited line into one break, so that line is split anew too.
  size_t resplit = first;
  if (from_char == 0 && first > 0 && lines_.Break(text_, first - 1) == Break::kCr) resplit = first - 1;
  const size_t region_end = lines_.NextStart(last);
  text_.replace(begin, end - begin, text);
  Resplit(resplit, last, region_end, static_cast<ptrdiff_t>(text.size()) - static_cast<ptrdiff_t>(end - begin));
  return Status::Ok();
}

// Lines `first_line` to `last_line` ended at `region_end` before the text
// grew by `delta` units inside them: their starts are found again, and the
// starts after them moved by `delta`.
void TextDocument::Resplit(size_t first_line, size_t last_line, size_t region_end, ptrdiff_t delta) {
  std::vector<size_t>& starts = lines_.starts();
  const size_t region_begin = starts[first_line];
  const size_t new_end = static_cast<size_t>(static_cast<ptrdiff_t>(region_end) + delta);
  const bool region_is_last = last_line + 1 == lines_.size();
  std::vector<size_t> inner;  // the starts of the region's lines after its first
  const std::u16string_view region = std::u16string_view(text_).substr(region_begin, new_end - region_begin);
  ForEachBrokenLine(region, [&](size_t begin, size_t length, LineBreak end) {
    inner.push_back(region_begin + begin + length + BreakLength(end));
  });
  // A region that ended in a break still does: the start after that break
  // is the line after the region's, which stays.
  if (!region_is_last) inner.pop_back();
  const auto after = starts.begin() + static_cast<ptrdiff_t>(last_line + 1);
  for (auto moved = after; moved != starts.end(); ++moved) {
    *moved = static_cast<size_t>(static_cast<ptrdiff_t>(*moved) + delta);
  }
  const auto old_inner = starts.begin() + static_cast<ptrdiff_t>(first_line + 1);
  const size_t old_count = last_line - first_line;
  if (inner.size() <= old_count) {
    std::copy(inner.begin(), inner.end(), old_inner);
    starts.erase(old_inner + static_cast<ptrdiff_t>(inner.size()), after);
  } else {
    std::copy(inner.begin(), inner.begin() + static_cast<ptrdiff_t>(old_count), old_inner);
    starts.insert(after, inner.begin() + static_cast<ptrdiff_t>(old_count), inner.end());
  }
}

// The start of the line after the last one is the end of the text, as
// some clients write it.
TextPosition TextDocument::EndOfTextFor(const TextPosition& position) const {
  if (position.line != LineCount() || position.character != 0) return position;
  return TextPosition{LineCount() - 1, static_cast<int64_t>(Line(LineCount() - 1).size())};
}

int32_t TextDocument::ModuleLineCount() const {
  size_t count = lines_.size();
  if (count > 1 && Line(static_cast<int32_t>(count - 1)).empty()) --count;
  if (count == 1 && Line(0).empty()) count = 0;
  return static_cast<int32_t>(count);
}

std::vector<std::u16string_view> TextDocument::ModuleLineViews() const {
  std::vector<std::u16string_view> lines(static_cast<size_t>(ModuleLineCount()));
  for (size_t i = 0; i < lines.size(); ++i) lines[i] = lines_.Line(text_, i);
  return lines;
}

std::vector<std::u16string> TextDocument::ModuleLines() const {
  std::vector<std::u16string> lines;
  lines.reserve(static_cast<size_t>(ModuleLineCount()));
  for (std::u16string_view line : ModuleLineViews()) lines.emplace_back(line);
  return lines;
}

}  // namespace ramulet::lsp
