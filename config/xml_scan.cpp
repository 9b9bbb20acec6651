#include "config/xml_scan.h"

namespace ramulet {

namespace {

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view LocalName(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The offset after the ">" that ends a tag starting at `from`, quotes
// respected; npos when the text ends first.
size_t TagEnd(std::string_view text, size_t from) {
  char quote = 0;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

// Where a construct that is no element (comment, CDATA, declaration,
// processing instruction) starting at `at` ends; 0 when there is none.
size_t SkipNonElement(std::string_view text, size_t at) {
  struct Bracket {
    std::string_view open, close;
  };
  static constexpr Bracket kBrackets[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
  for (const Bracket& bracket : kBrackets) {
    if (text.substr(at, bracket.open.size()) != bracket.open) continue;
    const size_t close = text.find(bracket.close, at + bracket.open.size());
    return close == std::string_view::npos ? text.size() : close + bracket.close.size();
  }
  return 0;
}

}  // namespace

bool XmlScanner::Next(XmlTag& tag) {
  while (true) {
    const size_t open = text_.find('<', at_);
    if (open == std::string_view::npos) {
      at_ = text_.size();
      return false;
    }
    if (const size_t skipped = SkipNonElement(text_, open); skipped != 0) {
      at_ = skipped;
      continue;
    }
    const size_t end = TagEnd(text_, open + 1);
    if (end == std::string_view::npos) {
      at_ = text_.size();
      return false;
    }
    at_ = end;
    tag = XmlTag();
    tag.begin = open;
    tag.end = end;
    size_t i = open + 1;
    if (text_[i] == '/') {
      tag.closing = true;
      ++i;
    }
    size_t inner_end = end - 1;
    if (inner_end > i && text_[inner_end - 1] == '/') {
      tag.empty = true;
      --inner_end;
    }
    size_t name_end = i;
    while (name_end < inner_end && !IsXmlSpace(text_[name_end])) ++name_end;
    tag.name = LocalName(text_.substr(i, name_end - i));
    tag.attributes = text_.substr(name_end, inner_end - name_end);
    return true;
  }
}

std::string_view XmlAttribute(std::string_view attributes, std::string_view name) {
  size_t i = 0;
  while (i < attributes.size()) {
    while (i < attributes.size() && IsXmlSpace(attributes[i])) ++i;
    const size_t name_begin = i;
    while (i < attributes.size() && attributes[i] != '=' && !IsXmlSpace(attributes[i])) ++i;
    const std::string_view found = LocalName(attributes.substr(name_begin, i - name_begin));
    while (i < attributes.size() && IsXmlSpace(attributes[i])) ++i;
    if (i >= attributes.size() || attributes[i] != '=') continue;
    ++i;
    while (i < attributes.size() && IsXmlSpace(attributes[i])) ++i;
    if (i >= attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) continue;
    const char quote = attributes[i++];
    const size_t close = attributes.find(quote, i);
    const size_t value_end = close == std::string_view::npos ? attributes.size() : close;
    if (found == name) return attributes.substr(i, value_end - i);
    i = value_end + 1;
  }
  return {};
}

XmlText TextAfter(std::string_view text, const XmlTag& tag) {
  size_t begin = tag.end;
  size_t end = text.find('<', begin);
  if (end == std::string_view::npos) end = text.size();
  while (begin < end && IsXmlSpace(text[begin])) ++begin;
  while (end > begin && IsXmlSpace(text[end - 1])) --end;
  return XmlText{text.substr(begin, end - begin), begin};
}

TextCursor::TextCursor(std::string_view text) : text_(text) {
  if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;
}

void TextCursor::MoveTo(size_t offset, int32_t& line, int32_t& column) {
  for (; at_ < offset && at_ < text_.size(); ++at_) {
    const auto byte = static_cast<unsigned char>(text_[at_]);
    if (byte == '\n') {
      ++line_;
      column_ = 0;
    } else if ((byte & 0xC0) != 0x80) {
      column_ += byte >= 0xF0 ? 2 : 1;  // a character outside the BMP takes two units
    }
  }
  line = line_;
  column = column_;
}

}  // namespace ramulet
