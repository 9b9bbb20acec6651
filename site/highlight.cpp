#include "site/highlight.h"

#include "analysis/language_lexer.h"
#include "site/html_text.h"

namespace ramulet {

namespace {

using language::IsBlank;
using language::IsWordUnit;

enum class Token : uint8_t { kPlain, kKeyword, kString, kComment, kDirective };

// Short elements, restyled by the stylesheet: a page of code holds
// hundreds of thousands of them.
const char* ElementOf(Token token) {
  switch (token) {
    case Token::kKeyword: return "b";
    case Token::kString: return "s";
    case Token::kComment: return "i";
    case Token::kDirective: return "u";
    case Token::kPlain: break;
  }
  return nullptr;
}

// The end of a string that begins at `begin` (just after its opening quote
// or "|"), and whether it closed on this line.
size_t StringEnd(std::u16string_view line, size_t begin, bool& closed) {
  for (size_t i = begin; i < line.size(); ++i) {
    if (line[i] != u'"') continue;
    if (i + 1 < line.size() && line[i + 1] == u'"') {
      ++i;
      continue;
    }
    closed = true;
    return i + 1;
  }
  closed = false;
  return line.size();
}

// Writes line pieces, opening and closing links where they fall.
class LineWriter {
 public:
  LineWriter(std::u16string_view line, std::span<const LineLink> links, std::string& out)
      : line_(line), links_(links), out_(out) {}

  void Emit(size_t begin, size_t end, Token token) {
    if (begin >= end) return;
    const char* element = ElementOf(token);
    if (element != nullptr) {
      out_ += '<';
      out_ += element;
      out_ += '>';
      AppendHtmlText(line_.substr(begin, end - begin), out_);
      out_ += "</";
      out_ += element;
      out_ += '>';
      SkipLinksBefore(end);
      return;
    }
    size_t at = begin;
    while (at < end) {
      SkipLinksBefore(at);
      const LineLink* link = next_ < links_.size() ? &links_[next_] : nullptr;
      const size_t link_begin = link ? static_cast<size_t>(link->column) : end;
      const size_t link_end = link ? link_begin + static_cast<size_t>(link->length) : end;
      if (!link || link_begin >= end || link_end > end) {
        AppendHtmlText(line_.substr(at, end - at), out_);
        return;
      }
      AppendHtmlText(line_.substr(at, link_begin - at), out_);
      out_ += "<a href=\"";
      AppendHtmlUtf8(link->href, out_);
      out_ += "\">";
      AppendHtmlText(line_.substr(link_begin, link_end - link_begin), out_);
      out_ += "</a>";
      at = link_end;
      ++next_;
    }
  }

 private:
  void SkipLinksBefore(size_t at) {
    while (next_ < links_.size() && static_cast<size_t>(links_[next_].column) < at) ++next_;
  }

  std::u16string_view line_;
  std::span<const LineLink> links_;
  std::string& out_;
  size_t next_ = 0;
};

size_t FirstNonBlank(std::u16string_view line) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  return i;
}

}  // namespace

void AppendHighlightedLine(std::u16string_view line, std::span<const LineLink> links,
                           const language::Keywords& keywords, HighlightState& state, std::string& out) {
  LineWriter writer(line, links, out);
  const size_t first = FirstNonBlank(line);
  size_t i = 0;
  if (state.in_string) {
    state.in_string = false;
    if (first < line.size() && line[first] == u'|') {
      bool closed = false;
      const size_t end = StringEnd(line, first + 1, closed);
      writer.Emit(0, first, Token::kPlain);
      writer.Emit(first, end, Token::kString);
      state.in_string = !closed;
      i = end;
    }
  } else if (first < line.size() && (line[first] == u'#' || line[first] == u'&')) {
    writer.Emit(0, first, Token::kPlain);
    writer.Emit(first, line.size(), Token::kDirective);
    return;
  }
  size_t plain = i;
  std::u16string folded;
  while (i < line.size()) {
    const char16_t unit = line[i];
    size_t end = i + 1;
    Token token = Token::kPlain;
    if (unit == u'/' && i + 1 < line.size() && line[i + 1] == u'/') {
      end = line.size();
      token = Token::kComment;
    } else if (unit == u'"') {
      bool closed = false;
      end = StringEnd(line, i + 1, closed);
      state.in_string = !closed;
      token = Token::kString;
    } else if (unit == u'\'') {
      const size_t close = line.find(u'\'', i + 1);
      end = close == std::u16string_view::npos ? line.size() : close + 1;
      token = Token::kString;
    } else if (IsWordUnit(unit)) {
      while (end < line.size() && IsWordUnit(line[end])) ++end;
      if (keywords.MayBe(line.substr(i, end - i))) {
        folded.clear();
        for (size_t k = i; k < end; ++k) folded += language::Fold(line[k]);
        if (keywords.Find(folded) != nullptr) token = Token::kKeyword;
      }
    }
    if (token != Token::kPlain) {
      writer.Emit(plain, i, Token::kPlain);
      writer.Emit(i, end, token);
      plain = end;
    }
    i = end;
  }
  writer.Emit(plain, line.size(), Token::kPlain);
}

}  // namespace ramulet
