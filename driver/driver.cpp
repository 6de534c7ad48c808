#include "driver/driver.h"

#include <optional>

#include "core/messages.h"
#include "core/paths.h"
#include "core/status.h"
#include "driver/confirmation.h"
#include "driver/options.h"
#include "log/installation_log.h"
#include "log/log_display.h"
#include "settings/settings_reader.h"
#include "setup/launcher.h"
#include "setup/result_check.h"
#include "setup/runner.h"

namespace ivx {
namespace {

struct RunPaths {
  LogPaths logs;
  std::string currentDirectory;
  std::string ownDirectory;
};

// Every text of the run is in the system's code page and walked by character.
RunPaths MakeRunPaths(const std::string& invokedAs, Environment& env, PathStyle style,
                      LeadByteTest isLead) {
  RunPaths paths;
  paths.logs = MakeLogPaths(LogFolder(style, env.Variable("SystemRoot")),
                            TimestampSuffix(env.LocalTimeNow()));
  paths.currentDirectory = CurrentDirectoryText(style, env.CurrentDirectory(), isLead);
  paths.ownDirectory =
      OwnDirectory(style, env.ExecutablePath(), invokedAs, paths.currentDirectory, isLead);
  return paths;
}

// The status when the run ends before the installation, or nullopt to go on.
std::optional<int> Confirm(const Options& options, Console& console) {
  if (options.silent) return std::nullopt;
  switch (AskConfirmation(console)) {
    case Confirmation::kProceed:
      return std::nullopt;
    case Confirmation::kDeclined:
      return status::kDeclined;
    case Confirmation::kInputFailed:
      break;
  }
  console.Print(msg::kInternalError);
  return status::kInternalError;
}

// From the creation of the installation log to the end of the run.
int InstallAndReport(Platform& platform, const LogPaths& logs, const std::string& command) {
  InstallationLog log(platform.files, platform.console, logs.installationLog);
  if (!log.Create()) return status::kInternalError;
  if (!platform.environment.IsAdministrator()) {
    platform.console.Print(msg::kNotAdministrator);
    const bool recorded = log.Record(msg::kNotAdministrator) && log.Close();
    return recorded ? status::kNotAdministrator : status::kInternalError;
  }
  if (!log.Record(msg::kStart) || !log.Close()) return status::kInternalError;
  platform.console.Print(msg::kStart);

  const int launcherResult = RunSetup(platform.runner, command, command.size());

  if (!log.Reopen()) return status::kInternalError;
  const bool checked = CheckSetupResult(platform.files, logs.setupLog, log);
  log.Close();
  ShowInstallationLog(platform.files, platform.console, log.Path());
  return checked && !log.Failed() ? launcherResult : status::kInternalError;
}

}  // namespace

int RunInstallation(const std::vector<std::string>& args, Platform& platform, PathStyle style) {
  platform.environment.IgnoreInterrupt();
  const LeadByteTest isLead = platform.environment.CodePageLeadBytes();
  const RunPaths paths =
      MakeRunPaths(args.empty() ? std::string() : args[0], platform.environment, style, isLead);

  const std::vector<std::string> optionArgs(args.empty() ? args.end() : args.begin() + 1,
                                            args.end());
  const std::optional<Options> options = ParseOptions(optionArgs, style);
  if (!options) {
    platform.console.Print(msg::kInvalidOption);
    platform.console.Print(msg::kUsage);
    return status::kInvalidOption;
  }
  if (const std::optional<int> ended = Confirm(*options, platform.console)) return *ended;

  std::string properties;
  if (!options->settingsFile.empty()) {
    const CSettingsFile file(platform.files, style, options->settingsFile, paths.currentDirectory);
    const std::optional<std::string> built = BuildPropertyString(file, platform.console, isLead);
    if (!built) return status::kSettingsRejected;
    properties = *built;
  }

  const std::string launcherDirectory = LauncherDirectory(style, paths.ownDirectory, isLead);
  if (!platform.files.Find(launcherDirectory + "setup.exe")) {
    platform.console.Print(msg::kLauncherMissing);
    return status::kInternalError;
  }
  const std::string command = BuildLauncherCommandLine(launcherDirectory, paths.logs.setupLog,
                                                       paths.logs.installationLog, properties);

  return InstallAndReport(platform, paths.logs, command);
}

}  // namespace ivx
