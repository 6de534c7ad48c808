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

RunPaths MakeRunPaths(const std::string& invokedAs, Environment& env, PathStyle style) {
  RunPaths paths;
  paths.logs = MakeLogPaths(LogFolder(style, env.Variable("SystemRoot")),
                            TimestampSuffix(env.LocalTimeNow()));
  paths.currentDirectory = CurrentDirectoryText(style, env.CurrentDirectory());
  paths.ownDirectory = OwnDirectory(style, env.ExecutablePath(), invokedAs, paths.currentDirectory);
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

// Prints the I/O error report of a failed operation on the installation log; true when the
// operation succeeded.
bool Succeeded(Console& console, const InstallationLog& log, const IoResult& outcome) {
  if (!outcome.ok) console.Print(msg::IoError(log.Path(), outcome.error));
  return outcome.ok;
}

// From the creation of the installation log to the end of the run.
int InstallAndReport(Platform& platform, const LogPaths& logs, const std::string& command) {
  Console& console = platform.console;
  InstallationLog log(platform.files, logs.installationLog);
  const auto ok = [&console, &log](const IoResult& outcome) {
    return Succeeded(console, log, outcome);
  };
  if (!ok(log.Create())) return status::kInternalError;
  if (!platform.environment.IsAdministrator()) {
    console.Print(msg::kNotAdministrator);
    const bool recorded = ok(log.Record(msg::kNotAdministrator)) && ok(log.Close());
    return recorded ? status::kNotAdministrator : status::kInternalError;
  }
  if (!ok(log.Record(msg::kStart)) || !ok(log.Close())) return status::kInternalError;
  console.Print(msg::kStart);

  const int launcherResult = RunSetup(platform.runner, command, command.size());

  if (!ok(log.Reopen())) return status::kInternalError;
  const SetupResult result = CheckSetupResult(platform.files, logs.setupLog);
  const bool recorded = result.entry.empty() || ok(log.Record(result.entry));
  const bool closed = ok(log.Close());
  console.Print(ShowInstallationLog(platform.files, log.Path()));
  return result.read && recorded && closed ? launcherResult : status::kInternalError;
}

}  // namespace

int RunInstallation(const std::vector<std::string>& args, Platform& platform, PathStyle style) {
  platform.environment.IgnoreInterrupt();
  const RunPaths paths =
      MakeRunPaths(args.empty() ? std::string() : args[0], platform.environment, style);

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
    SettingsVerdict verdict = BuildPropertyString(file);
    if (!verdict.Accepted()) {
      platform.console.Print(verdict.Message());
      return status::kSettingsRejected;
    }
    properties = std::move(verdict.propertyString);
  }

  const std::string launcherDirectory = LauncherDirectory(style, paths.ownDirectory);
  if (!CanNameLauncherIn(launcherDirectory) ||
      !platform.files.Find(launcherDirectory + "setup.exe")) {
    platform.console.Print(msg::kLauncherMissing);
    return status::kInternalError;
  }
  const std::string command = BuildLauncherCommandLine(launcherDirectory, paths.logs.setupLog,
                                                       paths.logs.installationLog, properties);

  return InstallAndReport(platform, paths.logs, command);
}

}  // namespace ivx
