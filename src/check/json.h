// Writing JSON texts.
#pragma once

#include <string>
#include <string_view>

namespace ivx::check {

// The text as a JSON string, quotation marks included. Bytes that are not valid UTF-8 become
// U+FFFD, so that the output is always valid UTF-8 and valid JSON.
std::string JsonString(std::string_view utf8);

}  // namespace ivx::check
