// Where each command starts: the system's entry point (entry_win32.cpp, entry_posix.cpp) takes
// the arguments as the system hands them over, builds the real platform, and calls the
// command's own CommandMain, whose result is the exit status.
#pragma once

#include "platform/code_page.h"
#include "platform/platform.h"

namespace ivx {

// Defined once by each command.
int CommandMain(const CommandArguments& arguments, Platform& platform);

}  // namespace ivx
