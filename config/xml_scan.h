#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A small, tolerant reader of the few XML elements the configuration
// layer needs (flags, handler names, form events). It knows tags,
// attributes, comments, processing instructions and CDATA sections; it
// checks nothing and never fails: a text cut off ends the tags it yields.

namespace ramulet {

struct XmlTag {
  std::string_view name;        // the local name, without a namespace prefix
  std::string_view attributes;  // what follows the name inside the tag
  size_t begin = 0;             // the offset of "<"
  size_t end = 0;               // the offset after ">"
  bool closing = false;         // </name>
  bool empty = false;           // <name/>
};

class XmlScanner {
 public:
  explicit XmlScanner(std::string_view text) : text_(text) {}
  // The next tag, false at the end of the text.
  bool Next(XmlTag& tag);

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// The value of the attribute `name` (its local name), empty when absent.
std::string_view XmlAttribute(std::string_view attributes, std::string_view name);

// The text after an opening tag up to the next tag, without white space
// around it, and the offset where it begins.
struct XmlText {
  std::string_view value;
  size_t offset = 0;
};
XmlText TextAfter(std::string_view text, const XmlTag& tag);

// Lines and columns (from 0; columns in UTF-16 units, as the analysis of
// module text counts them) of offsets into UTF-8 text, asked in increasing
// order. A byte order mark at the start is not counted.
class TextCursor {
 public:
  explicit TextCursor(std::string_view text);
  void MoveTo(size_t offset, int32_t& line, int32_t& column);

 private:
  std::string_view text_;
  size_t at_ = 0;
  int32_t line_ = 0;
  int32_t column_ = 0;
};

}  // namespace ramulet
