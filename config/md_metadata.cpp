#include "config/md_metadata.h"

#include <algorithm>
#include <cstddef>

#include "platform/text.h"
#include "textio/text_decoding.h"

namespace ramulet {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

bool IsNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A list being read: what its first two items were, and the object it
// turned out to be.
struct OpenList {
  int32_t items = 0;
  bool first_quoted = false;
  std::string first;  // raw bytes
  int32_t object = -1;
};

class MetadataReader {
 public:
  explicit MetadataReader(std::string_view text) : text_(text) {}

  MdMetadata Read() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '{') {
        OpenChild();
        ++pos_;
      } else if (c == '}') {
        if (stack_.empty()) {
          Problem("a '}' without its '{' at byte " + std::to_string(pos_));
        } else {
          stack_.pop_back();
        }
        ++pos_;
      } else if (c == '"') {
        const size_t start = pos_;
        std::string value;
        if (!ReadQuoted(value)) {
          Problem("a string opened at byte " + std::to_string(start) + " is not closed");
          break;
        }
        AddItem(std::move(value), true);
      } else if (c == ',' || IsSpace(c)) {
        ++pos_;
      } else {
        AddItem(ReadBare(), false);
      }
    }
    if (!stack_.empty()) Problem(std::to_string(stack_.size()) + " list(s) are not closed at the end");
    return std::move(metadata_);
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

  void Problem(std::string line) { metadata_.problems.push_back("metadata stream: " + std::move(line)); }

  void OpenChild() {
    if (!stack_.empty()) ++stack_.back().items;
    stack_.emplace_back();
  }

  // After the opening quote up to the closing one; `""` is a quote.
  bool ReadQuoted(std::string& value) {
    ++pos_;
    for (;;) {
      const size_t quote = text_.find('"', pos_);
      if (quote == std::string_view::npos) return false;
      value.append(text_.substr(pos_, quote - pos_));
      pos_ = quote + 1;
      if (pos_ < text_.size() && text_[pos_] == '"') {
        value.push_back('"');
        ++pos_;
        continue;
      }
      return true;
    }
  }

  std::string ReadBare() {
    const size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '{' && text_[pos_] != '}' &&
           text_[pos_] != '"' && !IsSpace(text_[pos_])) {
      ++pos_;
    }
    return std::string(text_.substr(start, pos_ - start));
  }

  void AddItem(std::string value, bool quoted) {
    if (stack_.empty()) return;  // words outside every list say nothing
    OpenList& list = stack_.back();
    ++list.items;
    if (list.items == 1) {
      list.first_quoted = quoted;
      list.first = std::move(value);
    } else if (list.items == 2 && quoted && list.first_quoted && IsNumber(list.first)) {
      AddObject(list, value);
    }
  }

  // `list` (the innermost) is an object named `name`.
  void AddObject(OpenList& list, const std::string& name) {
    MdObject object;
    object.id = list.first;
    object.name = Decode(name);
    if (stack_.size() >= 2) {
      const OpenList& parent = stack_[stack_.size() - 2];
      if (parent.first_quoted) object.section = parent.first;
    }
    for (size_t i = stack_.size() - 1; i-- > 0;) {
      if (stack_[i].object >= 0) {
        object.owner = stack_[i].object;
        break;
      }
    }
    list.object = static_cast<int32_t>(metadata_.objects.size());
    metadata_.by_id[object.id].push_back(list.object);
    metadata_.objects.push_back(std::move(object));
  }

  std::string Decode(const std::string& bytes) {
    std::u16string text;
    if (!DecodeText(bytes, Encoding::Cp1251, text).ok()) {
      size_t replaced = 0;
      text = DecodeUtf8Replacing(bytes, replaced);
      Problem("the name at byte " + std::to_string(pos_) + " is not Windows-1251 text");
    }
    return Utf16ToUtf8(text);
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::vector<OpenList> stack_;
  MdMetadata metadata_;
};

}  // namespace

const MdObject* MdMetadata::Find(std::string_view id, std::initializer_list<std::string_view> sections) const {
  const auto found = by_id.find(std::string(id));
  if (found == by_id.end()) return nullptr;
  for (int32_t index : found->second) {
    const MdObject& object = objects[index];
    for (std::string_view section : sections) {
      if (!section.empty() && EqualsIgnoringAsciiCase(object.section, section)) return &object;
    }
  }
  return nullptr;
}

const MdObject* MdMetadata::FindOwned(std::string_view id, std::string_view owner_section) const {
  const auto found = by_id.find(std::string(id));
  if (found == by_id.end()) return nullptr;
  for (int32_t index : found->second) {
    const MdObject& object = objects[index];
    if (object.owner >= 0 && EqualsIgnoringAsciiCase(objects[object.owner].section, owner_section)) return &object;
  }
  return nullptr;
}

MdMetadata ParseMdMetadata(std::string_view text) { return MetadataReader(text).Read(); }

}  // namespace ramulet
