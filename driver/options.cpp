#include "driver/options.h"

#include "core/paths.h"

namespace ivx {

std::optional<Options> ParseOptions(const std::vector<std::string>& args, PathStyle style,
                                    const std::set<std::size_t>& inexpressible) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool expressible = inexpressible.count(i) == 0;
    if (expressible && args[i] == "/s") {
      options.silent = true;
    } else if (expressible && args[i] == "/f" && i + 1 < args.size() &&
               IsSettingsFileName(style, args[i + 1])) {
      options.settingsFile = args[++i];
      options.settingsFileInexpressible = inexpressible.count(i) != 0;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace ivx
