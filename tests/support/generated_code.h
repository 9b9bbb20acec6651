#pragma once

// The pieces both generations of a generated configuration write their
// modules with: a random source that gives the same numbers with every
// standard library, a module's text counted as it grows, the vocabulary of
// names, and method bodies of ordinary business code around the statements
// that reference other methods.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet::generated {

// splitmix64: the same sequence everywhere, unlike the standard
// distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t Next();
  // 0 .. count-1; 0 when count <= 0.
  int32_t Below(int64_t count);
  // True `per_million` times in a million.
  bool Chance(int32_t per_million) { return Below(1'000'000) < per_million; }
  // A number from 0 .. count-1 that favours the low ones (a few modules
  // are called from everywhere).
  int32_t Skewed(int32_t count);

 private:
  uint64_t state_;
};

// A module's text with CR LF line ends, counted as it is written.
class ModuleText {
 public:
  void Line(int depth, std::string_view text);
  void Blank() { Line(0, {}); }
  int64_t lines() const { return lines_; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  int64_t lines_ = 0;
};

// A method as planned before any module is written, so that every module
// can call the exports of every other.
struct MethodPlan {
  std::string name;
  bool function = false;
  bool exported = false;
  int32_t lines = 0;  // everything from the comment above the header to the blank line after the end
  std::string directive;  // "&НаКлиенте" and the like, or empty
  // Parameters; the last may be named like a common module (a negative
  // case: calls through it are no calls of that module).
  std::vector<std::string> parameters;
  // When set, the first statement is a call through that parameter.
  std::string call_through_parameter;
};

// A method name from the ordinary vocabulary: `index` of a module whose
// names are spread by `offset`. Distinct for distinct indices in one module.
std::string MethodName(int32_t index, int32_t offset);
// Names only the exports of global modules carry, never another method.
std::string GlobalExportName(int32_t index);
// Parameters for an ordinary method, drawn from a fixed list.
std::vector<std::string> PickParameters(Random& random);
// A name from a list of object names (catalogs, documents, registers),
// distinct for distinct indices.
std::string ObjectName(int32_t index, int32_t list);

// Writes the statements that reference other methods (calls, bindings,
// handlers' names): the generation's call mix.
class ReferenceWriter {
 public:
  virtual ~ReferenceWriter() = default;
  // Per million statements, how many reference something.
  virtual int32_t ReferenceRate() const = 0;
  // Writes one referencing statement of at most `room` lines at `depth`
  // inside `method`; returns the lines written (0 when none fits).
  virtual int32_t Write(const MethodPlan& method, ModuleText& text, int depth, int32_t room) = 0;
};

enum class Dialect : uint8_t { kNewer, kOld };

// Writes `method` whole: its comment, directive, header, body and end, in
// exactly method.lines lines (at least 4).
void WriteMethod(const MethodPlan& method, Dialect dialect, Random& random, ReferenceWriter& references,
                 ModuleText& text);

}  // namespace ramulet::generated
