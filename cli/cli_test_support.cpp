#include "cli/cli_test_support.h"

#include <cctype>
#include <sstream>

#include "cli/app.h"

namespace ramulet {

CliRun RunOnStdin(std::string_view module, std::vector<std::string> args) {
  args.push_back("-");
  std::istringstream in{std::string(module)};
  std::ostringstream out;
  std::ostringstream err;
  int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

namespace {

// A recursive-descent reader of RFC 8259 JSON that only says yes or no.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text) : text_(text) {}

  bool Document() {
    SkipSpace();
    if (!Value(0)) return false;
    SkipSpace();
    return pos_ == text_.size();
  }

 private:
  bool Value(int depth) {
    if (depth > 512 || pos_ >= text_.size()) return false;
    char c = text_[pos_];
    if (c == '{') return Container(depth, '}', true);
    if (c == '[') return Container(depth, ']', false);
    if (c == '"') return String();
    if (c == '-' || (c >= '0' && c <= '9')) return Number();
    return Literal("true") || Literal("false") || Literal("null");
  }

  bool Container(int depth, char close, bool keyed) {
    ++pos_;
    SkipSpace();
    if (Eat(close)) return true;
    do {
      SkipSpace();
      if (keyed) {
        if (!String()) return false;
        SkipSpace();
        if (!Eat(':')) return false;
        SkipSpace();
      }
      if (!Value(depth + 1)) return false;
      SkipSpace();
    } while (Eat(','));
    return Eat(close);
  }

  bool String() {
    if (!Eat('"')) return false;
    while (pos_ < text_.size()) {
      unsigned char c = static_cast<unsigned char>(text_[pos_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c == '\\' && !Escape()) return false;
    }
    return false;
  }

  bool Escape() {
    if (pos_ >= text_.size()) return false;
    char c = text_[pos_++];
    if (std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos) return true;
    if (c != 'u' || text_.size() - pos_ < 4) return false;
    for (int i = 0; i < 4; ++i) {
      if (!std::isxdigit(static_cast<unsigned char>(text_[pos_++]))) return false;
    }
    return true;
  }

  bool Number() {
    Eat('-');
    bool leading_zero = Eat('0');
    if (!leading_zero && !Digits()) return false;
    if (Eat('.') && !Digits()) return false;
    if (Eat('e') || Eat('E')) {
      if (!Eat('+')) Eat('-');
      if (!Digits()) return false;
    }
    return true;
  }

  bool Digits() {
    size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    return pos_ > start;
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Eat(char c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && std::string_view(" \t\r\n").find(text_[pos_]) != std::string_view::npos) ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

bool IsWellFormedJson(std::string_view text) { return JsonChecker(text).Document(); }

}  // namespace ramulet
