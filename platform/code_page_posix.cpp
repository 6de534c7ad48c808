#include "platform/code_page.h"

namespace ivx {

CommandArguments HostArguments(int argc, const char* const* argv) {
  return {std::vector<std::string>(argv, argv + argc), {}};
}

}  // namespace ivx
