// installvorx-check: proves VORX settings files before a rollout, as installvorx reads them.
#include "check/check.h"
#include "platform/entry.h"

int ivx::CommandMain(const CommandArguments& arguments, Platform& platform) {
  return check::RunCheck(arguments, platform, kHostPathStyle);
}
