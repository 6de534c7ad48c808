#include "check/file_check.h"

#include <algorithm>
#include <istream>
#include <streambuf>

#include "core/messages.h"
#include "core/paths.h"
#include "core/quoting.h"
#include "platform/command_line.h"

namespace ivx::check {
namespace {

// The last argument of the launcher's command line, as its C runtime splits it. What stands
// before the property string there are whole arguments, each followed by a blank, so they do
// not change how it is split: a program name alone stands in for them.
std::string LauncherArgument(const std::string& properties, LeadByteTest isLead) {
  return SplitCommandLine("setup.exe " + properties, isLead).back();
}

std::vector<std::string> LauncherKeys(const std::vector<std::string>& pieces, LeadByteTest isLead) {
  constexpr std::string_view kStart = "/v/qr ";
  std::vector<std::string> keys(pieces.size());
  std::transform(pieces.begin(), pieces.end(), keys.begin(), [&](const std::string& piece) {
    return LauncherArgument(CloseQuotes("/v\"/qr" + piece, isLead), isLead).substr(kStart.size());
  });
  return keys;
}

// The settings file as a stream for the warnings, read a window at a time so that memory does
// not grow with its size: 4 KiB first, the size of most settings files, then larger ones up
// to 64 KiB.
class SettingsStream final : public std::streambuf {
 public:
  static constexpr std::size_t kFirstWindow = 4096;
  static constexpr std::size_t kWindow = std::size_t{64} * 1024;

  SettingsStream(FileSystem& files, int fd) : files_(files), fd_(fd) {}
  bool Failed() const { return failed_; }

 protected:
  int_type underflow() override {
    if (failed_) return traits_type::eof();
    ReadResult read = files_.Read(fd_, size_);
    size_ = std::min(size_ * 2, kWindow);
    if (!read.ok) failed_ = true;
    if (!read.ok || read.bytes.empty()) return traits_type::eof();
    window_ = std::move(read.bytes);
    setg(window_.data(), window_.data(), window_.data() + window_.size());
    return traits_type::to_int_type(window_.front());
  }

 private:
  FileSystem& files_;
  int fd_;
  std::size_t size_ = kFirstWindow;
  std::string window_;
  bool failed_ = false;
};

// The warnings about the file that the verdict read: through links as the settings reader
// goes, and only a regular file, never a device or pipe that could keep the check waiting.
// None when it cannot be read to its end.
WarningScan ScanFile(FileSystem& files, const std::string& path) {
  const OpenResult opened = files.Open(path, FileSystem::OpenMode::kReadSettings);
  if (opened.fd < 0) return {};
  SettingsStream stream(files, opened.fd);
  std::istream text(&stream);
  WarningScan scan = ScanWarnings(text);
  files.Close(opened.fd);
  return stream.Failed() ? WarningScan{} : scan;
}

}  // namespace

std::string FileReport::Message() const {
  std::string message = nameAccepted ? verdict.Message() : std::string(msg::kInvalidOption);
  if (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

FileReport CheckFile(FileSystem& files, PathStyle style, const Argument& name,
                     const std::optional<std::string>& currentDirectory, LeadByteTest isLead) {
  FileReport report;
  report.file = name.text;
  report.nameAccepted = IsSettingsFileName(style, name.text);
  if (!report.nameAccepted) return report;
  report.verdict = ReadSettingsFile(files, style, name, currentDirectory, isLead, KeysRead::kEvery);
  if (report.verdict.refusal == SettingsVerdict::Refusal::kMissingFile) return report;
  report.warnings = ScanFile(files, report.verdict.path);
  if (report.verdict.Accepted()) {
    report.launcherArgument = LauncherArgument(report.verdict.propertyString, isLead);
    report.launcherKeys = LauncherKeys(report.verdict.pieces, isLead);
  }
  return report;
}

}  // namespace ivx::check
