// The installvorx command from its arguments to its exit status.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/path_style.h"
#include "platform/platform.h"

namespace ivx {

// args[0] is the command as invoked; the rest are its options. inexpressible holds the
// positions of the arguments with a character that the system's code page cannot express
// (Windows). Returns the exit status.
int RunInstallation(const std::vector<std::string>& args, Platform& platform,
                    PathStyle style = kHostPathStyle,
                    const std::set<std::size_t>& inexpressible = {});

}  // namespace ivx
