#include "setup/runner.h"

#include "driver/status.h"

namespace ivx {

int RunSetup(ProcessRunner& runner, const std::string& commandLine, std::size_t length) {
  std::string copy = commandLine.substr(0, length);
  copy = copy.substr(0, copy.find('\0'));
  return runner.Run(copy).value_or(status::kInternalError);
}

}  // namespace ivx
