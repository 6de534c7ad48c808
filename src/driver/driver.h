// The installvorx command from its arguments to its exit status.
#pragma once

#include <vector>

#include "core/argument.h"
#include "core/path_style.h"
#include "platform/platform.h"

namespace ivx {

// args[0] is the command as invoked; the rest are its options. Returns the exit status.
int RunInstallation(const std::vector<Argument>& args, Platform& platform,
                    PathStyle style = kHostPathStyle);

}  // namespace ivx
