#include "lsp/protocol.h"

#include "platform/text.h"

namespace ramulet::lsp {

namespace {

[[noreturn]] void Invalid(std::string_view name, const char* expected) {
  throw RpcError(error_code::kInvalidParams, "'" + std::string(name) + "' must be " + expected);
}

}  // namespace

const Json& Member(const Json& object, std::string_view name) {
  if (!object.is_object()) Invalid(name, "given in an object");
  auto found = object.find(name);
  if (found == object.end()) Invalid(name, "given");
  return *found;
}

std::string StringMember(const Json& object, std::string_view name) {
  const Json& value = Member(object, name);
  if (!value.is_string()) Invalid(name, "a string");
  return value.get<std::string>();
}

int64_t IntegerMember(const Json& object, std::string_view name) {
  const Json& value = Member(object, name);
  if (!value.is_number_integer()) Invalid(name, "an integer");
  if (value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) {
    Invalid(name, "an integer in range");
  }
  return value.get<int64_t>();
}

std::string DocumentUri(const Json& params) { return StringMember(Member(params, "textDocument"), "uri"); }

TextPosition PositionMember(const Json& object, std::string_view name) {
  const Json& position = Member(object, name);
  TextPosition result{IntegerMember(position, "line"), IntegerMember(position, "character")};
  if (result.line < 0 || result.character < 0) Invalid(name, "a position without negative numbers");
  return result;
}

TextRange RangeMember(const Json& object, std::string_view name) {
  const Json& range = Member(object, name);
  return TextRange{PositionMember(range, "start"), PositionMember(range, "end")};
}

Json PositionJson(int64_t line, int64_t character) { return Json{{"line", line}, {"character", character}}; }

Json RangeJson(int64_t start_line, int64_t start_character, int64_t end_line, int64_t end_character) {
  return Json{{"start", PositionJson(start_line, start_character)}, {"end", PositionJson(end_line, end_character)}};
}

std::u16string ToUtf16(std::string_view utf8) { return Utf8ToUtf16(utf8); }
std::string ToUtf8(std::u16string_view utf16) { return Utf16ToUtf8(utf16); }

std::string Serialize(const Json& message) { return message.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace ramulet::lsp
