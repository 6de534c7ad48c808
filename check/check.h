// The installvorx-check command from its arguments to its exit status.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "core/path_style.h"
#include "platform/platform.h"

namespace ivx::check {

// args[0] is the command as invoked. inexpressible holds the positions of the arguments that
// the code page cannot express (Windows). Returns 0 when every file is accepted, 2 when any is
// refused (with --strict also when any has warnings), 1 for bad usage.
int RunCheck(const std::vector<std::string>& args, Platform& platform,
             PathStyle style = kHostPathStyle, const std::set<std::size_t>& inexpressible = {});

}  // namespace ivx::check
