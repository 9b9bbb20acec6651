#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/text_document.h"

namespace ramulet::lsp {

using Json = nlohmann::json;

// JSON-RPC and LSP error codes.
namespace error_code {
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kInternalError = -32603;
inline constexpr int kServerNotInitialized = -32002;
inline constexpr int kRequestFailed = -32803;
inline constexpr int kRequestCancelled = -32800;
}  // namespace error_code

// A request that cannot be answered: becomes the error of the response
// (or a log message for a notification). The message is taken from
// message(), which keeps every byte; what() ends at the first NUL, and
// names from a request may hold one.
class RpcError : public std::runtime_error {
 public:
  RpcError(int code, const std::string& message) : std::runtime_error(message), code_(code), message_(message) {}
  int code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  int code_;
  std::string message_;
};

// Parameter readers: each throws RpcError(kInvalidParams) naming the member
// that is missing or of the wrong type.
const Json& Member(const Json& object, std::string_view name);
std::string StringMember(const Json& object, std::string_view name);
int64_t IntegerMember(const Json& object, std::string_view name);
std::string DocumentUri(const Json& params);
TextPosition PositionMember(const Json& object, std::string_view name);
TextRange RangeMember(const Json& object, std::string_view name);

Json PositionJson(int64_t line, int64_t character);
Json RangeJson(int64_t start_line, int64_t start_character, int64_t end_line, int64_t end_character);

std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

// Serialises a message; text that is no valid UTF-8 is replaced, never thrown.
std::string Serialize(const Json& message);

}  // namespace ramulet::lsp
