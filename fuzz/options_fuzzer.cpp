// Any arguments after the command name: the first byte of the fuzz data chooses the path
// style, the rest is split into arguments at zero bytes (which no argument can hold).
#include <algorithm>
#include <string>
#include <vector>

#include "core/paths.h"
#include "driver/options.h"
#include "fuzz/fuzz_check.h"

namespace {

using ivx::fuzz::Require;
using Args = std::vector<std::string>;

Args SplitArguments(std::string_view data) {
  Args args;
  if (data.empty()) return args;
  for (std::size_t start = 0;;) {
    const std::size_t zero = data.find('\0', start);
    args.emplace_back(data.substr(start, zero - start));
    if (zero == std::string_view::npos) return args;
    start = zero + 1;
  }
}

bool LooksLikeOption(const std::string& value, ivx::PathStyle style) {
  if (value.empty() || value[0] != '/') return false;
  return style == ivx::PathStyle::kWindows || value.size() == 2;
}

void CheckAccepted(const Args& args, const ivx::Options& options, ivx::PathStyle style) {
  const std::string& settingsFile = options.settingsFile.text;
  Require(settingsFile.size() <= ivx::kMaxSettingsName,
          "a settings file name over 255 characters is never accepted");
  Require(!LooksLikeOption(settingsFile, style),
          "a settings file name that looks like an option is never accepted");
  const bool silent = std::find(args.begin(), args.end(), "/s") != args.end();
  Require(options.silent == silent, "silent exactly when /s is given");
  if (!settingsFile.empty()) {
    const auto named = std::find(args.begin(), args.end(), settingsFile);
    Require(named != args.begin() && named != args.end() && *(named - 1) == "/f",
            "the settings file is a name given after /f");
  }
}

// Options that stand alone can be added to any accepted list: /s keeps the settings file,
// a later /f replaces it.
void CheckExtended(Args args, const ivx::Options& options, ivx::PathStyle style) {
  args.emplace_back("/s");
  const auto silent = ivx::ParseOptions(ivx::ExpressibleArguments(args), style);
  Require(silent && silent->silent && silent->settingsFile.text == options.settingsFile.text,
          "an added /s is accepted and keeps the settings file");
  args.insert(args.end(), {"/f", "settings.ini"});
  const auto named = ivx::ParseOptions(ivx::ExpressibleArguments(args), style);
  Require(named && named->settingsFile.text == "settings.ini", "a later /f wins");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ivx::PathStyle style = (data[0] & 1) ? ivx::PathStyle::kWindows : ivx::PathStyle::kPosix;
  const Args args = SplitArguments(ivx::fuzz::AsText(data + 1, size - 1));
  const auto options = ivx::ParseOptions(ivx::ExpressibleArguments(args), style);
  if (options) {
    CheckAccepted(args, *options, style);
    CheckExtended(args, *options, style);
  }
  const auto silentOnly =
      ivx::ParseOptions(ivx::ExpressibleArguments(Args(args.size(), "/s")), style);
  Require(
      silentOnly && silentOnly->silent == !args.empty() && silentOnly->settingsFile.text.empty(),
      "any number of /s alone is accepted");
  return 0;
}
