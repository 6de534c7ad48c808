#include "driver/options.h"

#include "core/paths.h"

namespace ivx {

std::optional<Options> ParseOptions(const std::vector<std::string>& args, PathStyle style) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "/s") {
      options.silent = true;
    } else if (args[i] == "/f" && i + 1 < args.size() && IsSettingsFileName(style, args[i + 1])) {
      options.settingsFile = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace ivx
