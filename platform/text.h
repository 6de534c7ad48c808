// Texts in the system's character set.
#pragma once

#include <string>
#include <string_view>

namespace ivx {

// The text, in the system's ANSI code page on Windows (what the profile call and the command
// line give), converted to UTF-8; on POSIX texts are UTF-8 already and come back unchanged.
std::string SystemTextToUtf8(std::string_view text);

}  // namespace ivx
