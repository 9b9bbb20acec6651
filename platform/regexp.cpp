#include "platform/regexp.h"

namespace ramulet {

struct RegExp::Cache {};

RegExp::RegExp() : cache_(std::make_unique<Cache>()) {}
RegExp::~RegExp() = default;

Status RegExp::SetPattern(std::u16string_view pattern) {
  pattern_.assign(pattern);
  return Status::Ok();
}

Status RegExp::Current(const CompiledPattern*&) { return Status::Error(Status::kFail, "not built yet"); }

Status RegExp::Execute(std::u16string_view, std::vector<RegExpMatch>& matches) {
  matches.clear();
  return Status::Error(Status::kFail, "not built yet");
}

Status RegExp::Test(std::u16string_view, bool& found) {
  found = false;
  return Status::Error(Status::kFail, "not built yet");
}

}  // namespace ramulet
