#include "driver/options.h"

namespace ivx {
namespace {

bool LooksLikeOption(const std::string& value, PathStyle style) {
  if (value.empty() || value[0] != '/') return false;
  return style == PathStyle::kWindows || value.size() == 2;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, PathStyle style) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "/s") {
      options.silent = true;
    } else if (args[i] == "/f" && i + 1 < args.size() && !LooksLikeOption(args[i + 1], style) &&
               args[i + 1].size() <= kMaxSettingsName) {
      options.settingsFile = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace ivx
