// The options of installvorx-check: [--json] [--strict] FILE..., or --help, or --version.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ivx::check {

inline constexpr std::string_view kUsage = "Usage: installvorx-check [--json] [--strict] FILE...\n";

struct Options {
  enum class Request { kCheck, kHelp, kVersion, kUsageError };
  Request request = Request::kCheck;
  bool json = false;    // one JSON array instead of the text report
  bool strict = false;  // a file with warnings counts as refused for the status
  std::vector<std::string> files;
  std::string error;  // kUsageError: what is wrong, one line
};

// The arguments after the command name. "--" ends the options: every argument after it is a
// FILE. At least one FILE is needed, and none may be empty.
Options ParseOptions(const std::vector<std::string>& args);

}  // namespace ivx::check
