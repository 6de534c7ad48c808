#include "setup/launcher.h"

#include "core/paths.h"

namespace ivx {

std::string LauncherDirectory(PathStyle style, const std::string& ownDirectory) {
  const std::size_t length = ownDirectory.size();
  if (length < 2 || IsSeparator(style, ownDirectory[length - 2])) return ownDirectory;
  for (std::size_t i = length - 2; i > 0; --i) {
    if (IsSeparator(style, ownDirectory[i - 1])) return ownDirectory.substr(0, i);
  }
  return ownDirectory;
}

std::string BuildLauncherCommandLine(const std::string& launcherDirectory,
                                     const std::string& setupLog,
                                     const std::string& installationLog,
                                     const std::string& properties) {
  return "\"" + launcherDirectory + "setup.exe\" /s /f1\"" + launcherDirectory +
         "setup.iss\" /f2\"" + setupLog + "\" /clone_wait /z\"" + installationLog + "\" " +
         properties;
}

}  // namespace ivx
