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
  result->forward_dfa_ = std::make_unique<Dfa>(result->forward_, *result->classes_, Dfa::Direction::kForward,
                                               Dfa::Semantics::kLeftmostFirst);
  result->reverse_dfa_ = std::make_unique<Dfa>(result->reverse_, *result->classes_, Dfa::Direction::kBackward,
                                               Dfa::Semantics::kLongest);
  result->one_pass_ = OnePass::Build(result->forward_, *result->classes_);
  result->backtracker_ = std::make_unique<Backtracker>(result->forward_);
  compiled = std::move(result);
  return Status::Ok();
}

CompiledPattern::~CompiledPattern() = default;

Status CompiledPattern::Search(std::u16string_view text, size_t from, std::vector<size_t>& slots, bool& found) {
  found = false;
  if (from > text.size() || (anchored_ && from > 0)) return Status::Ok();
  if (anchored_ && one_pass_) {
    found = one_pass_->Find(text, from, slots, scratch_);
    return Status::Ok();
  }
  const size_t end = forward_dfa_->Forward(text, from, !anchored_);
  if (end == kNone) return Status::Ok();
  const size_t begin = anchored_ ? from : reverse_dfa_->Backward(text, end, from);
  if (begin == kNone || begin > end) return Inconsistent("no start for a match end");
  if (group_count() == 0) {
    slots.resize(2);
    slots[0] = begin;
    slots[1] = end;
  } else if (!MatchGroups(text, begin, end, slots) || slots[0] != begin || slots[1] != end) {
    return Inconsistent("groups of a match not found");
  }
  found = true;
  return Status::Ok();
}

bool CompiledPattern::MatchGroups(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots) {
  if (one_pass_) return one_pass_->Match(text, begin, end, slots);
  if (backtracker_->Fits(end - begin)) return backtracker_->Match(text, begin, end, slots);
  if (!pike_) pike_ = std::make_unique<PikeVm>(forward_);
  return pike_->Match(text, begin, end, slots);
}

}  // namespace ramulet
