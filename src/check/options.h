// The options of installvorx-check: [--json] [--strict] FILE..., or --help, or --version.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/argument.h"
#include "settings/settings_reader.h"

namespace ivx::check {

inline constexpr std::string_view kUsage = "Usage: installvorx-check [--json] [--strict] FILE...\n";

struct Options {
  enum class Request { kCheck, kHelp, kVersion, kUsageError };
  Request request = Request::kCheck;
  bool json = false;    // one JSON array instead of the text report
  bool strict = false;  // a file with warnings counts as refused for the status
  std::vector<Argument> files;
  std::string error;  // kUsageError: what is wrong, one line
};

// args[0] is the command as invoked. "--" ends the options: every argument after it is a FILE.
// At least one FILE is needed, and none may be empty. An argument that the code page cannot
// express is never an option: it is a FILE that names no file the command can read.
Options ParseOptions(const std::vector<Argument>& args);

}  // namespace ivx::check
