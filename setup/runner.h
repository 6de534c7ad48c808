// Running the installation launcher.
#pragma once

#include <cstddef>
#include <string>

#include "platform/process.h"

namespace ivx {

// Starts the launcher with the first `length` characters of the command line (up to a zero
// byte, if one comes first) and waits for it. Returns its exit code unchanged, or 9 when it
// could not be started or waited for.
int RunSetup(ProcessRunner& runner, const std::string& commandLine, std::size_t length);

}  // namespace ivx
