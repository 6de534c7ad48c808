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

namespace ivx {
namespace {

// Every text of the run is in the system's code page. A directory that holds a character the
// code page cannot express is nullopt: no name made from it would reach the right file.
struct RunPaths {
  LogPaths logs;
  std::optional<std::string> currentDirectory;
  std::optional<std::string> ownDirectory;
};

// Only the executable's path tells the own directory when the first argument or the current
// directory, which would stand in for it, cannot be expressed. Without the executable's path
// (a Linux system without /proc), the folder that the first argument names is resolved as the
// system resolves it: "./installvorx" or "tools/sub/../installvorx" then finds the same
// launcher as the executable's path would.
std::optional<std::string> ExpressibleOwnDirectory(Environment& env,
                                                   const std::optional<std::string>& invokedAs,
                                                   const std::optional<std::string>& current,
                                                   PathStyle style, LeadByteTest isLead) {
  const SystemPath executable = env.ExecutablePath();
  if (executable.inexpressible) return std::nullopt;
  std::string own = OwnDirectory(style, executable.text, {}, {}, isLead);
  if (!own.empty()) return own;
  if (!invokedAs || !current) return std::nullopt;
  const std::string named = OwnDirectory(style, std::nullopt, *invokedAs, *current, isLead);
  const std::optional<std::string> real = env.RealFolder(named);
  return real ? CurrentDirectoryText(style, real, isLead) : named;
}

RunPaths MakeRunPaths(const std::optional<std::string>& invokedAs, Environment& env,
                      PathStyle style, LeadByteTest isLead) {
  RunPaths paths;
  paths.logs = MakeLogPaths(LogFolder(style, env.Variable("SystemRoot")),
                            TimestampSuffix(env.LocalTimeNow()));
  paths.currentDirectory = CurrentDirectoryFor(style, env.CurrentDirectory(), isLead);
  paths.ownDirectory =
      ExpressibleOwnDirectory(env, invokedAs, paths.currentDirectory, style, isLead);
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
  // A caller without administrator rights may not create files in the root of the system
  // drive at all: the refusal is due whether or not the log could be created, and without a
  // log only the console holds it.
  const IoResult created = log.Create();
  if (!platform.environment.IsAdministrator()) {
    console.Print(msg::kNotAdministrator);
    if (!created.ok) return status::kNotAdministrator;
    const bool recorded = ok(log.Record(msg::kNotAdministrator)) && ok(log.Close());
    return recorded ? status::kNotAdministrator : status::kInternalError;
  }
  if (!ok(created)) return status::kInternalError;
  if (!ok(log.Record(msg::kStart)) || !ok(log.Close())) return status::kInternalError;
  console.Print(msg::kStart);

  const int launcherResult = RunSetup(platform.runner, command);

  if (!ok(log.Reopen())) return status::kInternalError;
  const SetupResult result = CheckSetupResult(platform.files, logs.setupLog);
  const bool recorded = result.entry.empty() || ok(log.Record(result.entry));
  const bool closed = ok(log.Close());
  console.Print(ShowInstallationLog(platform.files, log.Path()));
  return result.read && recorded && closed ? launcherResult : status::kInternalError;
}

}  // namespace

int RunInstallation(const std::vector<Argument>& args, Platform& platform, PathStyle style) {
  platform.environment.IgnoreInterrupt();
  const LeadByteTest isLead = platform.environment.CodePageLeadBytes();
  const Argument invoked = args.empty() ? Argument{} : args[0];
  std::optional<std::string> invokedAs;
  if (invoked.expressible) invokedAs = invoked.text;
  const RunPaths paths = MakeRunPaths(invokedAs, platform.environment, style, isLead);

  const std::vector<Argument> optionArgs(args.empty() ? args.end() : args.begin() + 1, args.end());
  const std::optional<Options> options = ParseOptions(optionArgs, style);
  if (!options) {
    platform.console.Print(msg::kInvalidOption);
    platform.console.Print(msg::kUsage);
    return status::kInvalidOption;
  }
  if (const std::optional<int> ended = Confirm(*options, platform.console)) return *ended;

  std::string properties;
  if (!options->settingsFile.text.empty()) {
    SettingsVerdict verdict = ReadSettingsFile(platform.files, style, options->settingsFile,
                                               paths.currentDirectory, isLead);
    if (!verdict.Accepted()) {
      platform.console.Print(verdict.Message());
      return status::kSettingsRejected;
    }
    properties = std::move(verdict.propertyString);
  }

  const std::optional<std::string> launcherDirectory =
      FindLauncher(platform.files, style, paths.ownDirectory, isLead);
  if (!launcherDirectory) {
    platform.console.Print(msg::kLauncherMissing);
    return status::kInternalError;
  }
  const std::string command = BuildLauncherCommandLine(*launcherDirectory, paths.logs.setupLog,
                                                       paths.logs.installationLog, properties);

  return InstallAndReport(platform, paths.logs, command);
}

}  // namespace ivx
