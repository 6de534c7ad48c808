#include "check/file_check.h"

#include <algorithm>
#include <sstream>

#include "core/messages.h"
#include "core/paths.h"
#include "core/quoting.h"
#include "platform/command_line.h"
#include "setup/launcher.h"

namespace ivx::check {
namespace {

// The last argument of the launcher's command line, as its C runtime splits it. The folders
// do not matter to it: any that the installation could use give the same argument.
std::string LauncherArgument(const std::string& properties, LeadByteTest isLead) {
  const std::vector<std::string> args = SplitCommandLine(
      BuildLauncherCommandLine("C:\\kit\\", "C:\\setup.log", "C:\\installvorx.log", properties),
      isLead);
  return args.back();
}

std::vector<std::string> LauncherKeys(const std::vector<std::string>& pieces, LeadByteTest isLead) {
  constexpr std::string_view kStart = "/v/qr ";
  std::vector<std::string> keys(pieces.size());
  std::transform(pieces.begin(), pieces.end(), keys.begin(), [&](const std::string& piece) {
    return LauncherArgument(CloseQuotes("/v\"/qr" + piece, isLead), isLead).substr(kStart.size());
  });
  return keys;
}

// The whole file, for the warnings; empty when it cannot be read. Reads grow from 4 KiB,
// the size of most settings files, to 1 MiB.
std::string ReadAll(FileSystem& files, const std::string& path) {
  constexpr std::size_t kLargestRead = std::size_t{1} << 20;
  const OpenResult opened = files.Open(path, FileSystem::OpenMode::kReadBinary);
  if (opened.fd < 0) return {};
  std::string text;
  for (std::size_t chunk = 4096;; chunk = std::min(chunk * 2, kLargestRead)) {
    const ReadResult read = files.Read(opened.fd, chunk);
    if (!read.ok) {
      text.clear();
      break;
    }
    if (read.bytes.empty()) break;
    text += read.bytes;
  }
  files.Close(opened.fd);
  return text;
}

}  // namespace

std::string FileReport::Message() const {
  std::string message = nameAccepted ? verdict.Message() : std::string(msg::kInvalidOption);
  if (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

FileReport CheckFile(FileSystem& files, PathStyle style, const SettingsName& name,
                     const std::optional<std::string>& currentDirectory, LeadByteTest isLead) {
  FileReport report;
  report.file = name.text;
  report.nameAccepted = IsSettingsFileName(style, name.text);
  if (!report.nameAccepted) return report;
  report.verdict = ReadSettingsFile(files, style, name, currentDirectory, isLead, KeysRead::kEvery);
  if (report.verdict.refusal == SettingsVerdict::Refusal::kMissingFile) return report;
  std::istringstream text(ReadAll(files, report.verdict.path));
  report.warnings = ScanWarnings(text);
  if (report.verdict.Accepted()) {
    report.launcherArgument = LauncherArgument(report.verdict.propertyString, isLead);
    report.launcherKeys = LauncherKeys(report.verdict.pieces, isLead);
  }
  return report;
}

}  // namespace ivx::check
