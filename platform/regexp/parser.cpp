#include <string>
#include <utility>

#include "platform/regexp/syntax.h"
#include "platform/text.h"

namespace ramulet {

namespace {

using Kind = SyntaxNode::Kind;

bool IsAsciiAlphanumeric(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsQuantifier(char16_t c) { return c == u'*' || c == u'+' || c == u'?'; }

// What '.' matches: every unit but LF.
UnitSet AllButNewline() {
  UnitSet newline;
  newline.Add(u'\n');
  return newline.Complement();
}

// What a backslash sequence stands for: one code unit or a class of them.
struct Escape {
  UnitSet units;
  bool is_class = false;
  char16_t unit = 0;
};

class Parser {
 public:
  Parser(std::u16string_view pattern, bool ignore_case) : pattern_(pattern), ignore_case_(ignore_case) {}

  Status Parse(SyntaxTree& tree) {
    RAMULET_RETURN_IF_ERROR(ParseAlternation(tree.root));
    if (!AtEnd()) return Error(pos_, "unmatched ')'");
    tree.group_count = groups_;
    return Status::Ok();
  }

 private:
  bool AtEnd() const { return pos_ >= pattern_.size(); }
  char16_t Peek() const { return pattern_[pos_]; }

  Status Error(size_t position, const std::string& problem) const {
    return Status::Error(Status::kInvalidArgument,
                         "syntax error in the regular expression: " + problem + " at position " +
                             std::to_string(position + 1));
  }

  Status ParseAlternation(SyntaxNode& out) {
    SyntaxNode branch;
    RAMULET_RETURN_IF_ERROR(ParseConcat(branch));
    if (AtEnd() || Peek() != u'|') {
      out = std::move(branch);
      return Status::Ok();
    }
    out.kind = Kind::kAlternate;
    out.children.push_back(std::move(branch));
    while (!AtEnd() && Peek() == u'|') {
      ++pos_;
      RAMULET_RETURN_IF_ERROR(ParseConcat(branch));
      out.children.push_back(std::move(branch));
    }
    return Status::Ok();
  }

  Status ParseConcat(SyntaxNode& out) {
    out = SyntaxNode();
    std::vector<SyntaxNode> items;
    while (!AtEnd() && Peek() != u'|' && Peek() != u')') {
      SyntaxNode item;
      const bool bare_anchor = Peek() == u'^' || Peek() == u'$';
      RAMULET_RETURN_IF_ERROR(ParseAtom(item));
      RAMULET_RETURN_IF_ERROR(ParseQuantifier(bare_anchor, item));
      items.push_back(std::move(item));
    }
    if (items.size() == 1) {
      out = std::move(items.front());
    } else if (!items.empty()) {
      out.kind = Kind::kConcat;
      out.children = std::move(items);
    }
    return Status::Ok();
  }

  Status ParseQuantifier(bool bare_anchor, SyntaxNode& item) {
    if (AtEnd() || !IsQuantifier(Peek())) return Status::Ok();
    if (bare_anchor) return Error(pos_, "quantifier after an anchor");
    SyntaxNode repeat;
    repeat.kind = Kind::kRepeat;
    repeat.at_least_once = Peek() == u'+';
    repeat.unbounded = Peek() != u'?';
    ++pos_;
    if (!AtEnd() && Peek() == u'?') {
      repeat.greedy = false;
      ++pos_;
    }
    if (!AtEnd() && IsQuantifier(Peek())) return Error(pos_, "quantifier after a quantifier");
    repeat.children.push_back(std::move(item));
    item = std::move(repeat);
    return Status::Ok();
  }

  Status ParseAtom(SyntaxNode& out) {
    const char16_t c = Peek();
    switch (c) {
      case u'(':
        return ParseGroup(out);
      case u'[':
        return ParseClass(out);
      case u'*':
      case u'+':
      case u'?':
        return Error(pos_, "nothing to repeat before '" + Utf16ToUtf8(std::u16string(1, c)) + "'");
      case u'{':
        return Error(pos_, "counted repetition '{' is not supported");
      case u'^':
      case u'$':
        out.kind = c == u'^' ? Kind::kBeginText : Kind::kEndText;
        ++pos_;
        return Status::Ok();
      case u'.':
        ++pos_;
        return SetUnits(AllButNewline(), out);
      case u'\\': {
        Escape escape;
        RAMULET_RETURN_IF_ERROR(ParseEscape(escape));
        if (escape.is_class) return SetUnits(ignore_case_ ? CaselessClass(escape.units) : escape.units, out);
        return SetLiteral(escape.unit, out);
      }
      default:
        ++pos_;
        return SetLiteral(c, out);
    }
  }

  Status SetLiteral(char16_t unit, SyntaxNode& out) {
    if (ignore_case_) return SetUnits(CaselessUnit(unit), out);
    UnitSet set;
    set.Add(unit);
    return SetUnits(set, out);
  }

  static Status SetUnits(UnitSet units, SyntaxNode& out) {
    out.kind = Kind::kUnits;
    out.units = std::move(units);
    return Status::Ok();
  }

  Status ParseGroup(SyntaxNode& out) {
    const size_t open = pos_++;
    bool capturing = true;
    if (!AtEnd() && Peek() == u'?') {
      if (pos_ + 1 >= pattern_.size() || pattern_[pos_ + 1] != u':') {
        return Error(open, "unsupported group construct '(?'");
      }
      capturing = false;
      pos_ += 2;
    }
    if (++depth_ > kMaxGroupNesting) return Error(open, "groups nested too deeply");
    const int group = capturing ? ++groups_ : 0;
    SyntaxNode inner;
    RAMULET_RETURN_IF_ERROR(ParseAlternation(inner));
    if (AtEnd()) return Error(open, "missing ')' for the '('");
    ++pos_;
    --depth_;
    if (!capturing) {
      out = std::move(inner);
      return Status::Ok();
    }
    out.kind = Kind::kCapture;
    out.group = group;
    out.children.push_back(std::move(inner));
    return Status::Ok();
  }

  Status ParseClass(SyntaxNode& out) {
    const size_t open = pos_++;
    bool negated = false;
    if (!AtEnd() && Peek() == u'^') {
      negated = true;
      ++pos_;
    }
    UnitSet set;
    while (!AtEnd() && Peek() != u']') {
      RAMULET_RETURN_IF_ERROR(ParseClassItem(set));
    }
    if (AtEnd()) return Error(open, "missing ']' for the '['");
    ++pos_;
    if (ignore_case_) set = CaselessClass(set);
    return SetUnits(negated ? set.Complement() : std::move(set), out);
  }

  // One unit, one class escape, or a range of units.
  Status ParseClassItem(UnitSet& set) {
    const size_t start = pos_;
    Escape first;
    RAMULET_RETURN_IF_ERROR(ParseClassAtom(first));
    const bool is_range = pos_ + 1 < pattern_.size() && Peek() == u'-' && pattern_[pos_ + 1] != u']';
    if (!is_range) {
      set.Add(first.units);
      return Status::Ok();
    }
    ++pos_;
    Escape last;
    RAMULET_RETURN_IF_ERROR(ParseClassAtom(last));
    if (first.is_class || last.is_class) return Error(start, "a class escape cannot bound a range");
    if (first.unit > last.unit) return Error(start, "range out of order");
    set.Add(first.unit, last.unit);
    return Status::Ok();
  }

  Status ParseClassAtom(Escape& atom) {
    if (Peek() == u'\\') return ParseEscape(atom);
    atom.unit = Peek();
    atom.units.Add(atom.unit);
    ++pos_;
    return Status::Ok();
  }

  // A backslash sequence; pos_ is at the backslash.
  Status ParseEscape(Escape& escape) {
    const size_t start = pos_++;
    if (AtEnd()) return Error(start, "trailing backslash");
    const char16_t c = pattern_[pos_++];
    if (SetClassEscape(c, escape)) return Status::Ok();
    static constexpr std::u16string_view kControlLetters = u"tnrfv";
    static constexpr std::u16string_view kControlUnits = u"\t\n\r\f\v";
    size_t control = kControlLetters.find(c);
    if (control != std::u16string_view::npos) {
      escape.unit = kControlUnits[control];
    } else if (IsAsciiAlphanumeric(c)) {
      return Error(start, "unsupported escape '\\" + Utf16ToUtf8(std::u16string(1, c)) + "'");
    } else {
      escape.unit = c;
    }
    escape.units.Add(escape.unit);
    return Status::Ok();
  }

  static bool SetClassEscape(char16_t c, Escape& escape) {
    switch (c) {
      case u's': escape.units = UnitSet::Spaces(); break;
      case u'S': escape.units = UnitSet::Spaces().Complement(); break;
      case u'w': escape.units = UnitSet::Word(); break;
      case u'W': escape.units = UnitSet::Word().Complement(); break;
      case u'd': escape.units = UnitSet::Digits(); break;
      case u'D': escape.units = UnitSet::Digits().Complement(); break;
      default: return false;
    }
    escape.is_class = true;
    return true;
  }

  std::u16string_view pattern_;
  bool ignore_case_;
  size_t pos_ = 0;
  int groups_ = 0;
  int depth_ = 0;
};

}  // namespace

Status ParsePattern(std::u16string_view pattern, bool ignore_case, SyntaxTree& tree) {
  tree = SyntaxTree();
  return Parser(pattern, ignore_case).Parse(tree);
}

bool AnchoredAtBegin(const SyntaxNode& node) {
  switch (node.kind) {
    case Kind::kBeginText:
      return true;
    case Kind::kConcat:
      return AnchoredAtBegin(node.children.front());
    case Kind::kCapture:
      return AnchoredAtBegin(node.children.front());
    case Kind::kAlternate:
      for (const SyntaxNode& branch : node.children) {
        if (!AnchoredAtBegin(branch)) return false;
      }
      return true;
    case Kind::kRepeat:
      return node.at_least_once && AnchoredAtBegin(node.children.front());
    default:
      return false;
  }
}

}  // namespace ramulet
