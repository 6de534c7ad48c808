// The command's options: "/f" followed by the settings file name, and "/s" for a run
// without the confirmation question, in any order, each as often as wanted.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/path_style.h"

namespace ivx {

struct Options {
  std::string settingsFile;  // empty: no settings file (also for /f "")
  bool silent = false;
  // The settings file's name holds a character that the system's code page cannot express
  // (Windows): it names no file that the command can read.
  bool settingsFileInexpressible = false;
};

// The arguments after the command name; nullopt when one of them is not a valid option,
// or when the value after "/f" cannot name a settings file (IsSettingsFileName).
// inexpressible holds the positions in args of arguments with a character that the code page
// cannot express: such an argument is never an option itself.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, PathStyle style,
                                    const std::set<std::size_t>& inexpressible = {});

}  // namespace ivx
