// installvorx-check: proves VORX settings files before a rollout, as installvorx reads them.
#include <string>
#include <vector>

#include "check/check.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  ivx::HostPlatform host;
  return ivx::check::RunCheck(args, host.Get());
}
