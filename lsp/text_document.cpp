#include "lsp/text_document.h"

#include <algorithm>

namespace ramulet::lsp {

TextDocument::TextDocument(std::u16string_view text) { Replace(text); }

std::vector<TextDocument::Piece> TextDocument::Split(std::u16string_view text) {
  std::vector<Piece> pieces;
  size_t start = 0;
  while (true) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      pieces.push_back({std::u16string(text.substr(start)), Break::kNone});
      return pieces;
    }
    Break kind = text[end] == u'\n' ? Break::kLf : Break::kCr;
    if (kind == Break::kCr && end + 1 < text.size() && text[end + 1] == u'\n') kind = Break::kCrLf;
    pieces.push_back({std::u16string(text.substr(start, end - start)), kind});
    start = end + (kind == Break::kCrLf ? 2 : 1);
  }
}

std::u16string_view TextDocument::BreakText(Break end) {
  switch (end) {
    case Break::kLf:
      return u"\n";
    case Break::kCr:
      return u"\r";
    case Break::kCrLf:
      return u"\r\n";
    case Break::kNone:
      break;
  }
  return u"";
}

void TextDocument::Replace(std::u16string_view text) {
  lines_.clear();
  breaks_.clear();
  for (Piece& piece : Split(text)) {
    lines_.push_back(std::move(piece.text));
    breaks_.push_back(piece.end);
  }
  Recount();
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
  size_t from_char = std::min(static_cast<size_t>(from.character), lines_[first].size());
  size_t to_char = std::min(static_cast<size_t>(to.character), lines_[last].size());
  if (last < first || (last == first && to_char < from_char)) {
    return Status::Error(Status::kInvalidArgument, "the edit ends before it starts");
  }
  // A lone CR that ends the line before the edit joins an LF inserted at
  // the start of the edited line into one break, so that line is split anew.
  size_t begin = first;
  std::u16string joined;
  if (from_char == 0 && first > 0 && breaks_[first - 1] == Break::kCr) {
    begin = first - 1;
    joined = lines_[begin];
    joined += u'\r';
  }
  joined.append(lines_[first], 0, from_char);
  joined.append(text);
  joined.append(lines_[last], to_char);
  joined.append(BreakText(breaks_[last]));
  std::vector<Piece> pieces = Split(joined);
  // Text that ended with a break leaves an empty piece: the line after the
  // edit, which is still there.
  if (breaks_[last] != Break::kNone) pieces.pop_back();

  size_t old_count = last + 1 - begin;
  size_t new_count = pieces.size();
  if (new_count > old_count) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), new_count - old_count, std::u16string());
    breaks_.insert(breaks_.begin() + static_cast<std::ptrdiff_t>(last + 1), new_count - old_count, Break::kNone);
  } else if (new_count < old_count) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin + new_count),
                 lines_.begin() + static_cast<std::ptrdiff_t>(last + 1));
    breaks_.erase(breaks_.begin() + static_cast<std::ptrdiff_t>(begin + new_count),
                  breaks_.begin() + static_cast<std::ptrdiff_t>(last + 1));
  }
  for (size_t i = 0; i < new_count; ++i) {
    lines_[begin + i] = std::move(pieces[i].text);
    breaks_[begin + i] = pieces[i].end;
  }
  Recount();
  return Status::Ok();
}

// The start of the line after the last one is the end of the text, as
// some clients write it.
TextPosition TextDocument::EndOfTextFor(const TextPosition& position) const {
  if (position.line != LineCount() || position.character != 0) return position;
  return TextPosition{LineCount() - 1, static_cast<int64_t>(lines_.back().size())};
}

void TextDocument::Recount() {
  size_ = 0;
  for (size_t i = 0; i < lines_.size(); ++i) size_ += lines_[i].size() + BreakText(breaks_[i]).size();
}

int32_t TextDocument::ModuleLineCount() const {
  size_t count = lines_.size();
  if (count > 1 && lines_.back().empty()) --count;
  if (count == 1 && lines_[0].empty()) count = 0;
  return static_cast<int32_t>(count);
}

std::vector<std::u16string> TextDocument::ModuleLines() const {
  return std::vector<std::u16string>(lines_.begin(), lines_.begin() + ModuleLineCount());
}

std::u16string TextDocument::Text() const {
  std::u16string text;
  text.reserve(size_);
  for (size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i];
    text.append(BreakText(breaks_[i]));
  }
  return text;
}

}  // namespace ramulet::lsp
