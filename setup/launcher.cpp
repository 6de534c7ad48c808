#include "setup/launcher.h"

#include "core/paths.h"
#include "core/quoting.h"

namespace ivx {

std::string LauncherDirectory(PathStyle style, const std::string& ownDirectory) {
  const std::size_t length = ownDirectory.size();
  if (length < 2 || IsSeparator(style, ownDirectory[length - 2])) return ownDirectory;
  for (std::size_t i = length - 2; i > 0; --i) {
    if (IsSeparator(style, ownDirectory[i - 1])) return ownDirectory.substr(0, i);
  }
  return ownDirectory;
}

bool CanNameLauncherIn(const std::string& launcherDirectory) {
  return launcherDirectory.find('"') == std::string::npos;
}

namespace {

std::string QuotedPath(const std::string& path) {
  return '"' + CloseQuotes(EscapeQuotationMarks(path));
}

}  // namespace

std::string BuildLauncherCommandLine(const std::string& launcherDirectory,
                                     const std::string& setupLog,
                                     const std::string& installationLog,
                                     const std::string& properties) {
  return "\"" + launcherDirectory + "setup.exe\" /s /f1" +
         QuotedPath(launcherDirectory + "setup.iss") + " /f2" + QuotedPath(setupLog) +
         " /clone_wait /z" + QuotedPath(installationLog) + " " + properties;
}

}  // namespace ivx
