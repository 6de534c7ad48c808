#include "setup/launcher.h"

#include "core/paths.h"
#include "core/quoting.h"
#include "core/status.h"

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

bool CanNameLauncherIn(const std::string& launcherDirectory) {
  return launcherDirectory.find('"') == std::string::npos;
}

std::optional<std::string> FindLauncher(FileSystem& files, PathStyle style,
                                        const std::optional<std::string>& ownDirectory,
                                        LeadByteTest isLead) {
  if (!ownDirectory) return std::nullopt;
  std::string directory = LauncherDirectory(style, *ownDirectory, isLead);
  if (!CanNameLauncherIn(directory) || !files.Find(directory + "setup.exe")) return std::nullopt;
  return directory;
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

int RunSetup(ProcessRunner& runner, const std::string& commandLine) {
  const std::string untilZero = commandLine.substr(0, commandLine.find('\0'));
  return runner.Run(untilZero).value_or(status::kInternalError);
}

}  // namespace ivx
