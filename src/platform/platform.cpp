#include "platform/platform.h"

namespace ivx {

HostPlatform::HostPlatform()
    : console_(MakeHostConsole()),
      environment_(MakeHostEnvironment()),
      files_(MakeHostFileSystem()),
      runner_(MakeHostProcessRunner()),
      platform_{*console_, *environment_, *files_, *runner_} {}

}  // namespace ivx
