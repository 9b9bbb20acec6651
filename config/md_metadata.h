#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ramulet {

// An object of an old-platform configuration as its metadata stream lists
// it: a list whose first two items are a quoted number and a quoted name.
struct MdObject {
  std::string id;       // the number as written
  std::string name;     // UTF-8
  std::string section;  // the first item of the enclosing list: "SbCnts", "Documents", "Form", ...
  int32_t owner = -1;   // the object whose list holds this one (a catalog's list form), or -1
};

// The objects of `Metadata/Main MetaData Stream`.
struct MdMetadata {
  std::vector<MdObject> objects;
  std::unordered_map<std::string, std::vector<int32_t>> by_id;
  // What the reading went past (an unclosed string or list), one line each.
  std::vector<std::string> problems;

  // The object numbered `id` listed in one of `sections` (ASCII case
  // ignored; an empty section matches nothing), or null.
  const MdObject* Find(std::string_view id, std::initializer_list<std::string_view> sections) const;
  // The object numbered `id` whose owner is listed in `owner_section` (a
  // catalog's or journal's list form), or null.
  const MdObject* FindOwned(std::string_view id, std::string_view owner_section) const;
};

// Reads the brace tree of the metadata stream: nested `{...}` lists of
// quoted strings (`""` inside a string is a quote) and bare words, as
// Windows-1251 text. Tolerant: whatever is malformed is noted in
// `problems` and the rest is still read.
MdMetadata ParseMdMetadata(std::string_view text);

}  // namespace ramulet
