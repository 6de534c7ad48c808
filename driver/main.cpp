// installvorx: unattended installation of VORX 6.1.0-00 through its installation launcher.
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  ivx::HostPlatform host;
  return ivx::RunInstallation(args, host.Get());
}
