#include "check/check.h"

#include "check/file_check.h"
#include "check/options.h"
#include "check/report.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/status.h"
#include "platform/code_page.h"
#include "settings/settings_reader.h"

namespace ivx::check {
namespace {

constexpr int kAllAccepted = 0;

std::string HelpText() {
  return std::string(kUsage) + "Checks VORX " + std::string(msg::kProductVersion) +
         " settings files as installvorx /f reads them, before a rollout.\n"
         "  --json     one JSON array on standard output, an object for each FILE\n"
         "  --strict   a file with warnings counts as refused for the exit status\n"
         "  --help     this text\n"
         "  --version  the version\n"
         "Exit status: 0 every file accepted, 2 a file refused (with --strict: or warned "
         "about), 1 bad usage.\n";
}

struct Tally {
  std::size_t files = 0;
  std::size_t refused = 0;
  std::size_t warned = 0;

  std::string Summary() const {
    return std::to_string(files) + " files: " + std::to_string(files - refused) + " accepted, " +
           std::to_string(refused) + " refused; " + std::to_string(warned) + " with warnings\n";
  }
};

// Checks and reports one file at a time, so that memory does not grow with their number.
Tally CheckAll(const Options& options, Platform& platform, PathStyle style) {
  const LeadByteTest isLead = platform.environment.CodePageLeadBytes();
  const std::optional<std::string> currentDirectory =
      CurrentDirectoryFor(style, platform.environment.CurrentDirectory(), isLead);
  Tally tally;
  for (const Argument& name : options.files) {
    const FileReport report = CheckFile(platform.files, style, name, currentDirectory, isLead);
    // Each report is printed whole once its verdict is known, the array's start with the first:
    // a check that cannot finish leaves no report begun.
    if (options.json) {
      platform.console.Print((tally.files == 0 ? "[\n" : ",\n") +
                             JsonReport(report, SystemTextToUtf8));
    } else {
      platform.console.Print(TextReport(report, Utf8ToSystemText));
    }
    ++tally.files;
    if (!report.Accepted()) ++tally.refused;
    if (!report.warnings.warnings.empty()) ++tally.warned;
  }
  platform.console.Print(options.json ? "\n]\n" : tally.files > 1 ? tally.Summary() : "");
  return tally;
}

}  // namespace

int RunCheck(const std::vector<Argument>& args, Platform& platform, PathStyle style) {
  const Options options = ParseOptions(args);
  switch (options.request) {
    case Options::Request::kUsageError:
      platform.console.Print("installvorx-check: " + options.error + "\n" + std::string(kUsage));
      return status::kInvalidOption;
    case Options::Request::kHelp:
      platform.console.Print(HelpText());
      return kAllAccepted;
    case Options::Request::kVersion:
      platform.console.Print("installvorx-check " + std::string(msg::kProductVersion) + "\n");
      return kAllAccepted;
    case Options::Request::kCheck:
      break;
  }
  const Tally tally = CheckAll(options, platform, style);
  const bool refused = tally.refused > 0 || (options.strict && tally.warned > 0);
  return refused ? status::kSettingsRejected : kAllAccepted;
}

}  // namespace ivx::check
