// installvorx: unattended installation of VORX 6.1.0-00 through its installation launcher.
#include "driver/driver.h"
#include "platform/entry.h"

int ivx::CommandMain(const CommandArguments& arguments, Platform& platform) {
  return RunInstallation(arguments, platform, kHostPathStyle);
}
