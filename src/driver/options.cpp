#include "driver/options.h"

#include "core/paths.h"

namespace ivx {

std::optional<Options> ParseOptions(const std::vector<Argument>& args, PathStyle style) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Argument& arg = args[i];
    if (arg.expressible && arg.text == "/s") {
      options.silent = true;
    } else if (arg.expressible && arg.text == "/f" && i + 1 < args.size() &&
               IsSettingsFileName(style, args[i + 1].text)) {
      options.settingsFile = args[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace ivx
