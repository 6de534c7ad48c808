#include "setup/runner.h"

#include "core/status.h"

namespace ivx {

int RunSetup(ProcessRunner& runner, const std::string& commandLine, std::size_t length) {
  std::string copy = commandLine.substr(0, length);
  if (const std::size_t zero = copy.find('\0'); zero != std::string::npos) copy.resize(zero);
  return runner.Run(copy).value_or(status::kInternalError);
}

}  // namespace ivx
