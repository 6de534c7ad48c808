#include "platform/code_page.h"

namespace ivx {

std::string SystemTextToUtf8(const std::string& text) { return text; }

std::string Utf8ToSystemText(const std::string& utf8) { return utf8; }

CommandArguments HostArguments(int argc, const char* const* argv) {
  return ExpressibleArguments({argv, argv + argc});
}

}  // namespace ivx
