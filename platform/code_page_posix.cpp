#include "platform/code_page.h"

namespace ivx {

std::string SystemTextToUtf8(const std::string& text) { return text; }

CommandArguments HostArguments(int argc, const char* const* argv) {
  return {std::vector<std::string>(argv, argv + argc), {}};
}

}  // namespace ivx
