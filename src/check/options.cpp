#include "check/options.h"

namespace ivx::check {
namespace {

Options UsageError(std::string error) {
  Options options;
  options.request = Options::Request::kUsageError;
  options.error = std::move(error);
  return options;
}

}  // namespace

Options ParseOptions(const std::vector<Argument>& args) {
  Options options;
  bool filesOnly = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i].text;
    if (filesOnly || !args[i].expressible || arg.empty() || arg[0] != '-' || arg == "-") {
      if (arg.empty()) return UsageError("a FILE cannot be empty");
      options.files.push_back(args[i]);
    } else if (arg == "--") {
      filesOnly = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--help" || arg == "-h") {
      options.request = Options::Request::kHelp;
    } else if (arg == "--version") {
      options.request = Options::Request::kVersion;
    } else {
      return UsageError("unknown option " + arg);
    }
  }
  if (options.request == Options::Request::kCheck && options.files.empty()) {
    return UsageError("no FILE to check");
  }
  return options;
}

}  // namespace ivx::check
