#include "lsp/text_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"

namespace ramulet::lsp {
namespace {

TextRange Range(int64_t l1, int64_t c1, int64_t l2, int64_t c2) { return TextRange{{l1, c1}, {l2, c2}}; }

TEST(TextDocumentTest, EveryBreakEndsALineAndTheTextAfterTheLastIsALine) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {u"", {u""}},
      {u"a", {u"a"}},
      {u"a\n", {u"a", u""}},
      {u"a\r\nb\rc\nd", {u"a", u"b", u"c", u"d"}},
      {u"\r\n\r\n", {u"", u"", u""}},
      {u"a\n\rb", {u"a", u"", u"b"}},
  };
  for (const Case& c : cases) {
    TextDocument document(c.text);
    ASSERT_EQ(document.LineCount(), static_cast<int32_t>(c.lines.size())) << Utf16ToUtf8(c.text);
    for (int32_t i = 0; i < document.LineCount(); ++i) EXPECT_EQ(document.Line(i), c.lines[i]);
    EXPECT_EQ(document.Text(), c.text);
    EXPECT_EQ(document.Size(), c.text.size());
  }
}

TEST(TextDocumentTest, EditsApplyExactlyAndKeepTheBreaksAroundThem) {
  struct Case {
    const char* name;
    std::u16string before;
    TextRange range;
    std::u16string text;
    std::u16string after;
  };
  const Case cases[] = {
      {"insert in a line", u"abc\r\ndef", Range(0, 1, 0, 1), u"XY", u"aXYbc\r\ndef"},
      {"split a line with LF", u"abc\r\ndef", Range(0, 1, 0, 1), u"\n", u"a\nbc\r\ndef"},
      {"split a line with CRLF", u"abc", Range(0, 2, 0, 2), u"\r\n", u"ab\r\nc"},
      {"join two lines", u"abc\r\ndef\nghi", Range(0, 3, 1, 0), u"", u"abcdef\nghi"},
      {"replace across three lines", u"a1\nb2\rc3\nd4", Range(0, 1, 2, 1), u"-", u"a-3\nd4"},
      {"delete a whole line", u"a\nb\nc", Range(1, 0, 2, 0), u"", u"a\nc"},
      {"append after a final break", u"a\n", Range(1, 0, 1, 0), u"b", u"a\nb"},
      {"a character past the end means the end", u"ab\ncd", Range(0, 99, 1, 0), u"", u"abcd"},
      {"LF after a lone CR joins it into one break", u"a\rb", Range(1, 0, 1, 0), u"\n", u"a\r\nb"},
      {"CR before an LF joins it", u"ab\ncd", Range(0, 2, 0, 2), u"\r", u"ab\r\ncd"},
      {"the line after the last one is the end", u"a\nb", Range(1, 1, 2, 0), u"c", u"a\nbc"},
      {"surrogate pair units count as two", u"\U0001F600x", Range(0, 2, 0, 3), u"y", u"\U0001F600y"},
  };
  for (const Case& c : cases) {
    TextDocument document(c.before);
    ASSERT_TRUE(document.Edit(c.range, c.text).ok()) << c.name;
    EXPECT_EQ(Utf16ToUtf8(document.Text()), Utf16ToUtf8(c.after)) << c.name;
    // The lines must be those of the text read afresh.
    TextDocument fresh(c.after);
    ASSERT_EQ(document.LineCount(), fresh.LineCount()) << c.name;
    for (int32_t i = 0; i < fresh.LineCount(); ++i) EXPECT_EQ(document.Line(i), fresh.Line(i)) << c.name;
    EXPECT_EQ(document.Size(), c.after.size()) << c.name;
  }
}

TEST(TextDocumentTest, EditsOutsideTheTextAreRefusedAndChangeNothing) {
  const TextRange bad[] = {Range(2, 1, 2, 1), Range(3, 0, 3, 0), Range(0, 0, 5, 0), Range(1, 1, 0, 0), Range(0, 2, 0, 1),
                           Range(-1, 0, 0, 0)};
  for (const TextRange& range : bad) {
    TextDocument document(u"ab\ncd");
    EXPECT_FALSE(document.Edit(range, u"x").ok());
    EXPECT_EQ(document.Text(), u"ab\ncd");
  }
}

TEST(TextDocumentTest, ModuleLinesLeaveOutTheEmptyLineAfterAFinalBreak) {
  EXPECT_EQ(TextDocument(u"a\nb\n").ModuleLines(), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(TextDocument(u"a\n\n").ModuleLines(), (std::vector<std::u16string>{u"a", u""}));
  EXPECT_EQ(TextDocument(u"a").ModuleLines(), (std::vector<std::u16string>{u"a"}));
  EXPECT_TRUE(TextDocument(u"").ModuleLines().empty());
}

// The plain reading of a text: its lines with their breaks, found one unit
// at a time, and an edit applied by offsets into the whole text.
struct PlainModel {
  std::u16string text;

  std::vector<std::pair<std::u16string, std::u16string>> Lines() const {
    std::vector<std::pair<std::u16string, std::u16string>> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != u'\r' && text[i] != u'\n') {
        lines.back().first += text[i];
        continue;
      }
      lines.back().second = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? u"\r\n"
                                                                                       : std::u16string(1, text[i]);
      i += lines.back().second.size() - 1;
      lines.emplace_back();
    }
    return lines;
  }

  size_t Offset(const TextPosition& position) const {
    auto lines = Lines();
    size_t offset = 0;
    for (int64_t l = 0; l < position.line; ++l) offset += lines[l].first.size() + lines[l].second.size();
    return offset + std::min(static_cast<size_t>(position.character), lines[position.line].first.size());
  }
};

std::u16string_view BreakUnits(LineBreak end) {
  switch (end) {
    case LineBreak::kLf:
      return u"\n";
    case LineBreak::kCr:
      return u"\r";
    case LineBreak::kCrLf:
      return u"\r\n";
    case LineBreak::kNone:
      break;
  }
  return u"";
}

// Random edits of texts made mostly of breaks of every kind, checked after
// each against the plain model: text, lines, the break of each line.
TEST(TextDocumentTest, RandomEditsMatchAPlainModel) {
  const std::u16string pieces[] = {u"\r", u"\n", u"\r\n", u"a", u"bc", u"\n\r", u"Пр", u""};
  std::mt19937 random(11);
  auto some_text = [&](int most) {
    std::u16string text;
    for (int k = static_cast<int>(random() % static_cast<unsigned>(most + 1)); k > 0; --k) text += pieces[random() % std::size(pieces)];
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    PlainModel model{some_text(12)};
    TextDocument document(model.text);
    for (int step = 0; step < 30; ++step) {
      auto lines = model.Lines();
      auto position = [&]() {
        auto line = static_cast<int64_t>(random() % lines.size());
        return TextPosition{line, static_cast<int64_t>(random() % (lines[static_cast<size_t>(line)].first.size() + 2))};
      };
      TextPosition a = position(), b = position();
      if (std::make_pair(b.line, b.character) < std::make_pair(a.line, a.character)) std::swap(a, b);
      if (a.line == b.line && a.character > b.character) std::swap(a, b);
      const size_t from = model.Offset(a), to = model.Offset(b);
      if (to < from) continue;  // a clamped start past a clamped end: refused, tested elsewhere
      const std::u16string inserted = some_text(3);
      ASSERT_TRUE(document.Edit(TextRange{a, b}, inserted).ok()) << round << "/" << step;
      model.text.replace(from, to - from, inserted);
      ASSERT_EQ(document.Text(), model.text) << round << "/" << step;
      lines = model.Lines();
      ASSERT_EQ(document.LineCount(), static_cast<int32_t>(lines.size())) << Utf16ToUtf8(model.text);
      for (int32_t i = 0; i < document.LineCount(); ++i) {
        ASSERT_EQ(document.Line(i), lines[static_cast<size_t>(i)].first) << round << "/" << step << " line " << i;
        ASSERT_EQ(BreakUnits(document.LineEnd(i)), lines[static_cast<size_t>(i)].second) << round << "/" << step;
      }
      ASSERT_EQ(document.Size(), model.text.size());
    }
  }
}

TEST(TextDocumentTest, ModuleLineViewsAreTheModuleLines) {
  TextDocument document(u"a\r\nb\r\r\n");
  const std::vector<std::u16string_view> expected = {u"a", u"b", u""};
  EXPECT_EQ(document.ModuleLineViews(), expected);
  EXPECT_EQ(document.ModuleLines(), (std::vector<std::u16string>{u"a", u"b", u""}));
}

}  // namespace
}  // namespace ramulet::lsp
