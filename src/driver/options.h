// The command's options: "/f" followed by the settings file name, and "/s" for a run
// without the confirmation question, in any order, each as often as wanted.
#pragma once

#include <optional>
#include <vector>

#include "core/argument.h"
#include "core/path_style.h"

namespace ivx {

struct Options {
  Argument settingsFile;  // text empty: no settings file (also for /f "")
  bool silent = false;
};

// The arguments after the command name; nullopt when one of them is not a valid option,
// or when the value after "/f" cannot name a settings file (IsSettingsFileName). An argument
// that the code page cannot express is never an option itself.
std::optional<Options> ParseOptions(const std::vector<Argument>& args, PathStyle style);

}  // namespace ivx
