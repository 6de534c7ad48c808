// The installvorx-check command from its arguments to its exit status.
#pragma once

#include <vector>

#include "core/argument.h"
#include "core/path_style.h"
#include "platform/platform.h"

namespace ivx::check {

// args[0] is the command as invoked. Returns 0 when every file is accepted, 2 when any is
// refused (with --strict also when any has warnings), 1 for bad usage.
int RunCheck(const std::vector<Argument>& args, Platform& platform,
             PathStyle style = kHostPathStyle);

}  // namespace ivx::check
