#include "platform/regexp/compiled.h"

#include "platform/regexp/syntax.h"

namespace ramulet {

namespace {

constexpr size_t kNone = Dfa::kNone;

Status Inconsistent(const char* what) {
  return Status::Error(Status::kFail, std::string("regular expression engine error: ") + what);
}

}  // namespace

Status CompiledPattern::Compile(std::u16string_view pattern, bool ignore_case,
                                std::unique_ptr<CompiledPattern>& compiled) {
  SyntaxTree tree;
  RAMULET_RETURN_IF_ERROR(ParsePattern(pattern, ignore_case, tree));
  std::unique_ptr<CompiledPattern> result(new CompiledPattern());
  RAMULET_RETURN_IF_ERROR(CompileForward(tree, result->forward_));
  RAMULET_RETURN_IF_ERROR(CompileReverse(tree, result->reverse_));
  result->anchored_ = AnchoredAtBegin(tree.root);
  result->classes_ = std::make_unique<UnitClasses>(result->forward_.sets);
  result->one_pass_ = OnePass::Build(result->forward_, *result->classes_);
  compiled = std::move(result);
  return Status::Ok();
}

CompiledPattern::~CompiledPattern() = default;

Status CompiledPattern::Search(std::u16string_view text, size_t from, std::vector<size_t>& slots, bool& found,
                               PatternScratch& scratch) const {
  found = false;
  if (from > text.size() || (anchored_ && from > 0)) return Status::Ok();
  if (anchored_ && one_pass_) {
    found = one_pass_->Find(text, from, slots, scratch.one_pass_work_);
    return Status::Ok();
  }
  const size_t end = scratch.ForwardDfa().Forward(text, from, !anchored_);
  if (end == kNone) return Status::Ok();
  const size_t begin = anchored_ ? from : scratch.ReverseDfa().Backward(text, end, from);
  if (begin == kNone || begin > end) return Inconsistent("no start for a match end");
  if (group_count() == 0) {
    slots.resize(2);
    slots[0] = begin;
    slots[1] = end;
  } else if (!MatchGroups(text, begin, end, slots, scratch) || slots[0] != begin || slots[1] != end) {
    return Inconsistent("groups of a match not found");
  }
  found = true;
  return Status::Ok();
}

bool CompiledPattern::MatchGroups(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots,
                                  PatternScratch& scratch) const {
  if (one_pass_) return one_pass_->Match(text, begin, end, slots);
  Backtracker& backtracker = scratch.BacktrackerFor();
  if (backtracker.Fits(end - begin)) return backtracker.Match(text, begin, end, slots);
  return scratch.Pike().Match(text, begin, end, slots);
}

PatternScratch::~PatternScratch() = default;

Dfa& PatternScratch::ForwardDfa() {
  if (!forward_dfa_) {
    forward_dfa_ = std::make_unique<Dfa>(pattern_.forward_, *pattern_.classes_, Dfa::Direction::kForward,
                                         Dfa::Semantics::kLeftmostFirst);
  }
  return *forward_dfa_;
}

Dfa& PatternScratch::ReverseDfa() {
  if (!reverse_dfa_) {
    reverse_dfa_ = std::make_unique<Dfa>(pattern_.reverse_, *pattern_.classes_, Dfa::Direction::kBackward,
                                         Dfa::Semantics::kLongest);
  }
  return *reverse_dfa_;
}

Backtracker& PatternScratch::BacktrackerFor() {
  if (!backtracker_) backtracker_ = std::make_unique<Backtracker>(pattern_.forward_);
  return *backtracker_;
}

PikeVm& PatternScratch::Pike() {
  if (!pike_) pike_ = std::make_unique<PikeVm>(pattern_.forward_);
  return *pike_;
}

}  // namespace ramulet
