// Random small patterns and texts, matched by the engine and by a plain
// recursive backtracking matcher written here from the definition of the
// matching rules; any difference is a bug in one of the two.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/regexp/regexp.h"
#include "platform/regexp/backtrack.h"
#include "platform/regexp/onepass.h"
#include "platform/regexp/pike.h"
#include "platform/regexp/program.h"
#include "platform/regexp/syntax.h"
#include "platform/regexp/unit_classes.h"
#include "platform/text.h"

namespace ramulet {
namespace {

constexpr size_t kNpos = std::u16string_view::npos;

// A class item: one unit, a range, or an escape like \w.
struct ClassItem {
  char16_t lo = 0;
  char16_t hi = 0;
  char escape = 0;  // 'w', 'W', 'd', 'D', 's', 'S' or 0

  bool Contains(char16_t c) const {
    switch (escape) {
      case 'w': return IsWord(c);
      case 'W': return !IsWord(c);
      case 'd': return IsDigit(c);
      case 'D': return !IsDigit(c);
      case 's': return IsSpace(c);
      case 'S': return !IsSpace(c);
      default: return lo <= c && c <= hi;
    }
  }
  static bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
  static bool IsWord(char16_t c) {
    return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
  }
  static bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
};

struct Node {
  enum Kind { kUnit, kClass, kDot, kBegin, kEnd, kConcat, kAlternate, kStar, kPlus, kQuestion, kGroup, kPlain };
  Kind kind = kUnit;
  char16_t unit = 0;
  std::vector<ClassItem> items;  // kClass
  bool negated = false;          // kClass
  bool in_brackets = true;       // kClass: false for a lone escape like \w
  bool lazy = false;             // quantifiers
  int group = 0;                 // kGroup, numbered while rendering
  std::vector<Node> children;
};

// ---------------------------------------------------------------- generator

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  Node Pattern() { return Any(3); }

  std::u16string Text() {
    static constexpr char16_t kUnits[] = u"aabbAB1 \nжЖ";
    std::u16string text;
    for (int n = Pick(9); n > 0; --n) text += kUnits[Pick(sizeof(kUnits) / sizeof(char16_t) - 1)];
    return text;
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % n); }

  Node Any(int depth) {
    if (depth == 0) return Leaf();
    switch (Pick(8)) {
      case 0:
      case 1: return Composite(Node::kConcat, depth);
      case 2: return Composite(Node::kAlternate, depth);
      case 3: return Quantified(depth);
      case 4: return Group(depth);
      default: return Leaf();
    }
  }

  Node Leaf() {
    static constexpr char16_t kLiterals[] = u"aabAж1 ";
    Node node;
    switch (Pick(12)) {
      case 0: node.kind = Node::kClass; node.items = {RandomItem()}; node.in_brackets = false;
        node.items[0] = ClassItem{0, 0, "wWdDsS"[Pick(6)]};
        return node;
      case 1:
      case 2: return Class();
      case 3: node.kind = Node::kDot; return node;
      case 4: node.kind = Pick(2) ? Node::kBegin : Node::kEnd; return node;
      default: node.unit = kLiterals[Pick(7)]; return node;
    }
  }

  Node Class() {
    Node node;
    node.kind = Node::kClass;
    node.negated = Pick(3) == 0;
    for (int n = 1 + Pick(3); n > 0; --n) node.items.push_back(RandomItem());
    return node;
  }

  ClassItem RandomItem() {
    switch (Pick(6)) {
      case 0: return ClassItem{u'a', u'b', 0};
      case 1: return ClassItem{u'а', u'я', 0};
      case 2: return ClassItem{0, 0, "wWdDsS"[Pick(6)]};
      default: {
        char16_t unit = u"abAж1 "[Pick(6)];
        return ClassItem{unit, unit, 0};
      }
    }
  }

  Node Composite(Node::Kind kind, int depth) {
    Node node;
    node.kind = kind;
    for (int n = 2 + Pick(2); n > 0; --n) node.children.push_back(Any(depth - 1));
    return node;
  }

  Node Quantified(int depth) {
    Node node;
    node.kind = std::vector{Node::kStar, Node::kPlus, Node::kQuestion}[Pick(3)];
    node.lazy = Pick(3) == 0;
    node.children.push_back(Any(depth - 1));
    return node;
  }

  Node Group(int depth) {
    Node node;
    node.kind = Pick(3) ? Node::kGroup : Node::kPlain;
    node.children.push_back(Any(depth - 1));
    return node;
  }

  std::mt19937 random_;
};

// ---------------------------------------------------------------- rendering

class Renderer {
 public:
  // Writes the pattern text and numbers the capture groups in `node`.
  std::u16string Render(Node& node) {
    std::u16string out;
    Write(node, out);
    return out;
  }
  int groups() const { return groups_; }

 private:
  void Write(Node& node, std::u16string& out) {
    switch (node.kind) {
      case Node::kUnit: WriteUnit(node.unit, out); break;
      case Node::kClass: WriteClass(node, out); break;
      case Node::kDot: out += u'.'; break;
      case Node::kBegin: out += u'^'; break;
      case Node::kEnd: out += u'$'; break;
      case Node::kConcat:
        for (Node& child : node.children) WriteWrapped(child, child.kind == Node::kAlternate, out);
        break;
      case Node::kAlternate:
        for (size_t i = 0; i < node.children.size(); ++i) {
          if (i > 0) out += u'|';
          Write(node.children[i], out);
        }
        break;
      case Node::kStar:
      case Node::kPlus:
      case Node::kQuestion: WriteQuantified(node, out); break;
      case Node::kGroup:
        node.group = ++groups_;
        out += u'(';
        Write(node.children[0], out);
        out += u')';
        break;
      case Node::kPlain: WriteWrapped(node.children[0], true, out); break;
    }
  }

  void WriteQuantified(Node& node, std::u16string& out) {
    Node& operand = node.children[0];
    const bool atom = operand.kind == Node::kUnit || operand.kind == Node::kClass || operand.kind == Node::kDot ||
                      operand.kind == Node::kGroup || operand.kind == Node::kPlain;
    WriteWrapped(operand, !atom, out);
    out += node.kind == Node::kStar ? u'*' : node.kind == Node::kPlus ? u'+' : u'?';
    if (node.lazy) out += u'?';
  }

  void WriteWrapped(Node& node, bool wrap, std::u16string& out) {
    if (wrap) out += u"(?:";
    Write(node, out);
    if (wrap) out += u')';
  }

  static void WriteUnit(char16_t unit, std::u16string& out) {
    if (unit == u'\n') {
      out += u"\\n";
    } else {
      out += unit;
    }
  }

  static void WriteClass(const Node& node, std::u16string& out) {
    if (node.in_brackets) out += node.negated ? u"[^" : u"[";
    for (const ClassItem& item : node.items) {
      if (item.escape) {
        out += u'\\';
        out += static_cast<char16_t>(item.escape);
      } else {
        out += item.lo;
        if (item.hi != item.lo) out += u'-', out += item.hi;
      }
    }
    if (node.in_brackets) out += u']';
  }

  int groups_ = 0;
};

// ---------------------------------------------------------------- reference

// Tries the alternatives in order with continuations. An iteration of * or
// + that reads nothing fails, except the first one of +.
class Reference {
 public:
  Reference(const Node& root, int groups, bool ignore_case, std::u16string_view text)
      : root_(root), groups_(groups), ignore_case_(ignore_case), text_(text) {}

  bool Search(size_t from, std::vector<size_t>& slots) {
    for (size_t start = from; start <= text_.size(); ++start) {
      captures_.assign(2 * groups_, kNpos);
      size_t end = kNpos;
      if (Match(root_, start, [&](size_t j) { end = j; return true; })) {
        slots = {start, end};
        slots.insert(slots.end(), captures_.begin(), captures_.end());
        return true;
      }
    }
    return false;
  }

 private:
  using Cont = std::function<bool(size_t)>;

  bool Match(const Node& node, size_t i, const Cont& next) {
    switch (node.kind) {
      case Node::kUnit:
      case Node::kClass:
      case Node::kDot:
        return i < text_.size() && Accepts(node, text_[i]) && next(i + 1);
      case Node::kBegin: return i == 0 && next(i);
      case Node::kEnd: return i == text_.size() && next(i);
      case Node::kConcat: return Sequence(node, 0, i, next);
      case Node::kAlternate:
        for (const Node& branch : node.children) {
          if (Match(branch, i, next)) return true;
        }
        return false;
      case Node::kStar: return Repeat(node, i, false, next);
      case Node::kPlus: return Repeat(node, i, true, next);
      case Node::kQuestion:
        if (node.lazy) return next(i) || Match(node.children[0], i, next);
        return Match(node.children[0], i, next) || next(i);
      case Node::kGroup: return Capture(node, i, next);
      case Node::kPlain: return Match(node.children[0], i, next);
    }
    return false;
  }

  bool Sequence(const Node& node, size_t index, size_t i, const Cont& next) {
    if (index == node.children.size()) return next(i);
    return Match(node.children[index], i, [&](size_t j) { return Sequence(node, index + 1, j, next); });
  }

  bool Repeat(const Node& node, size_t i, bool required, const Cont& next) {
    auto iterate = [&] {
      return Match(node.children[0], i, [&](size_t j) {
        if (!required && j == i) return false;
        return Repeat(node, j, false, next);
      });
    };
    if (required) return iterate();
    if (node.lazy) return next(i) || iterate();
    return iterate() || next(i);
  }

  bool Capture(const Node& node, size_t i, const Cont& next) {
    const size_t slot = 2 * (node.group - 1);
    return Match(node.children[0], i, [&](size_t j) {
      const size_t old_begin = captures_[slot];
      const size_t old_end = captures_[slot + 1];
      captures_[slot] = i;
      captures_[slot + 1] = j;
      if (next(j)) return true;
      captures_[slot] = old_begin;
      captures_[slot + 1] = old_end;
      return false;
    });
  }

  bool Accepts(const Node& node, char16_t c) const {
    if (node.kind == Node::kDot) return c != u'\n';
    if (node.kind == Node::kUnit) {
      return c == node.unit ||
             (ignore_case_ && (ToLower(c) == ToLower(node.unit) || ToUpper(c) == ToUpper(node.unit)));
    }
    bool in = InClass(node, c) || (ignore_case_ && (InClass(node, ToUpper(c)) || InClass(node, ToLower(c))));
    return in != node.negated;
  }

  static bool InClass(const Node& node, char16_t c) {
    for (const ClassItem& item : node.items) {
      if (item.Contains(c)) return true;
    }
    return false;
  }

  const Node& root_;
  const int groups_;
  const bool ignore_case_;
  const std::u16string_view text_;
  std::vector<size_t> captures_;
};

// ---------------------------------------------------------------- comparison

std::string DumpSlots(const std::vector<size_t>& slots) {
  std::string out;
  for (size_t slot : slots) out += slot == kNpos ? " -" : " " + std::to_string(slot);
  return out;
}

std::string ReferenceAll(const Node& root, int groups, bool ignore_case, bool global, std::u16string_view text) {
  Reference reference(root, groups, ignore_case, text);
  std::string out;
  std::vector<size_t> slots;
  for (size_t from = 0; from <= text.size() && reference.Search(from, slots);) {
    out += "[" + DumpSlots(slots) + " ]";
    if (!global) break;
    from = slots[1] > slots[0] ? slots[1] : slots[1] + 1;
  }
  return out;
}

std::string EngineAll(RegExp& regexp, bool ignore_case, bool global, std::u16string_view text) {
  regexp.IgnoreCase = ignore_case;
  regexp.Global = global;
  std::vector<RegExpMatch> matches;
  Status status = regexp.Execute(text, matches);
  if (!status.ok()) return "error: " + status.message();
  std::string out;
  for (const RegExpMatch& match : matches) {
    std::vector<size_t> slots = {match.FirstIndex, match.FirstIndex + match.Length};
    for (const auto& sub : match.SubMatches) {
      slots.push_back(sub ? static_cast<size_t>(sub->data() - text.data()) : kNpos);
      slots.push_back(sub ? static_cast<size_t>(sub->data() - text.data()) + sub->size() : kNpos);
    }
    out += "[" + DumpSlots(slots) + " ]";
  }
  return out;
}

std::string Printable(std::u16string_view text) {
  std::string out = Utf16ToUtf8(text);
  for (size_t at = out.find('\n'); at != std::string::npos; at = out.find('\n', at)) out.replace(at, 1, "\\n");
  return out;
}

TEST(RegExpDifferentialTest, EngineAgreesWithAPlainBacktracker) {
  Generator generator(20240517);
  int failures = 0;
  for (int round = 0; round < 3000 && failures < 10; ++round) {
    Node root = generator.Pattern();
    Renderer renderer;
    const std::u16string pattern = renderer.Render(root);
    RegExp regexp;
    ASSERT_TRUE(regexp.SetPattern(pattern).ok()) << Printable(pattern);
    for (int t = 0; t < 6; ++t) {
      const std::u16string text = generator.Text();
      for (int flags = 0; flags < 4; ++flags) {
        const bool ignore_case = flags & 1;
        const bool global = flags & 2;
        const std::string expected = ReferenceAll(root, renderer.groups(), ignore_case, global, text);
        const std::string actual = EngineAll(regexp, ignore_case, global, text);
        if (actual != expected) ++failures;
        EXPECT_EQ(actual, expected) << "pattern: " << Printable(pattern) << "  text: '" << Printable(text)
                                    << "'  ignore case: " << ignore_case << "  global: " << global;
      }
    }
  }
}

// The matchers for groups must agree at every start position, whichever
// one a search picks.
TEST(RegExpDifferentialTest, GroupMatchersAgree) {
  Generator generator(777);
  int one_pass_programs = 0;
  for (int round = 0; round < 3000; ++round) {
    Node root = generator.Pattern();
    const std::u16string pattern = Renderer().Render(root);
    SyntaxTree tree;
    ASSERT_TRUE(ParsePattern(pattern, round % 2 == 1, tree).ok());
    Program program;
    ASSERT_TRUE(CompileForward(tree, program).ok());
    Backtracker backtracker(program);
    PikeVm pike(program);
    const UnitClasses classes(program.sets);
    const std::unique_ptr<OnePass> one_pass = OnePass::Build(program, classes);
    one_pass_programs += one_pass != nullptr;
    const std::u16string text = generator.Text();
    for (size_t begin = 0; begin <= text.size(); ++begin) {
      std::vector<size_t> by_backtracking;
      std::vector<size_t> by_pike;
      const bool found = backtracker.Match(text, begin, text.size(), by_backtracking);
      ASSERT_EQ(pike.Match(text, begin, text.size(), by_pike), found)
          << "pattern: " << Printable(pattern) << " text: " << Printable(text) << " at " << begin;
      if (!found) continue;
      ASSERT_EQ(by_pike, by_backtracking)
          << "pattern: " << Printable(pattern) << " text: " << Printable(text) << " at " << begin;
      std::vector<size_t> by_table;
      if (one_pass) {
        ASSERT_TRUE(one_pass->Match(text, begin, by_backtracking[1], by_table))
            << "pattern: " << Printable(pattern) << " text: " << Printable(text) << " at " << begin;
        ASSERT_EQ(by_table, by_backtracking)
            << "pattern: " << Printable(pattern) << " text: " << Printable(text) << " at " << begin;
      }
    }
  }
  EXPECT_GT(one_pass_programs, 300);
}

}  // namespace
}  // namespace ramulet
