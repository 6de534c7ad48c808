#include "setup/result_check.h"

#include <cerrno>

#include "core/messages.h"

namespace ivx {
namespace {

bool IsSuccessLine(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || line.substr(0, equals) != "ResultCode") return false;
  std::string_view value = line.substr(equals + 1);
  const std::size_t end = value.find_last_not_of(" \t\r\n\v\f");
  value = value.substr(0, end == std::string_view::npos ? 0 : end + 1);
  return value == "0";
}

}  // namespace

bool SetupLogReportsSuccess(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsSuccessLine(line)) return true;
    text = (lf == std::string_view::npos) ? std::string_view() : text.substr(lf + 1);
  }
  return false;
}

SetupResult CheckSetupResult(FileSystem& files, const std::string& setupLog) {
  const OpenResult opened = files.Open(setupLog, FileSystem::OpenMode::kReadBinary);
  if (opened.fd < 0) {
    // A launcher that wrote no setup log at all failed in a way of its own.
    return {false, opened.error == ENOENT ? std::string(msg::kInternalError)
                                          : msg::IoError(setupLog, opened.error)};
  }
  const ReadResult read = files.Read(opened.fd, kSetupLogExamined);
  files.Close(opened.fd);
  if (!read.ok) return {false, msg::IoError(setupLog, read.error)};
  if (!SetupLogReportsSuccess(read.bytes)) return {true, msg::InstallationFailed()};
  return {};
}

}  // namespace ivx
