#include "lsp/path_glob.h"

namespace ramulet::lsp {

namespace {

bool MatchFrom(std::string_view glob, std::string_view path) {
  while (!glob.empty()) {
    if (glob.substr(0, 2) == "**") {
      std::string_view rest = glob.substr(2);
      // "**/" also stands for no folder at all.
      if (!rest.empty() && rest[0] == '/' && MatchFrom(rest.substr(1), path)) return true;
      for (size_t skip = 0; skip <= path.size(); ++skip) {
        if (MatchFrom(rest, path.substr(skip))) return true;
      }
      return false;
    }
    if (glob[0] == '*') {
      std::string_view rest = glob.substr(1);
      for (size_t skip = 0; skip <= path.size(); ++skip) {
        if (MatchFrom(rest, path.substr(skip))) return true;
        if (skip < path.size() && path[skip] == '/') break;
      }
      return false;
    }
    if (path.empty()) return false;
    if (glob[0] == '?') {
      if (path[0] == '/') return false;
      // One character: a UTF-8 lead byte and its continuation bytes.
      size_t length = 1;
      while (length < path.size() && (static_cast<unsigned char>(path[length]) & 0xC0) == 0x80) ++length;
      glob.remove_prefix(1);
      path.remove_prefix(length);
      continue;
    }
    if (glob[0] != path[0]) return false;
    glob.remove_prefix(1);
    path.remove_prefix(1);
  }
  return path.empty();
}

}  // namespace

bool GlobMatches(std::string_view glob, std::string_view path) { return MatchFrom(glob, path); }

}  // namespace ramulet::lsp
