#include "setup/launcher.h"

#include "core/paths.h"

namespace ivx {

std::string LauncherDirectory(PathStyle style, const std::string& ownDirectory,
                              LeadByteTest isLead) {
  // The own directory without its last character, which is normally its closing separator.
  const std::string_view rest =
      std::string_view(ownDirectory).substr(0, LastCharacterStart(ownDirectory, isLead));
  if (rest.empty() || EndsWithSeparator(style, rest, isLead)) return ownDirectory;
  const std::string parent = DirectoryPart(style, rest, isLead);
  return parent.empty() ? ownDirectory : parent;
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
