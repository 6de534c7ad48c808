#include "log/installation_log.h"

#include <utility>

#include "core/messages.h"

namespace ivx {

InstallationLog::InstallationLog(FileSystem& files, Console& console, std::string path)
    : files_(files), console_(console), path_(std::move(path)) {}

InstallationLog::~InstallationLog() {
  if (fd_ >= 0) files_.Close(fd_);
}

bool InstallationLog::Create() { return Open(FileSystem::OpenMode::kCreateAppendText); }

bool InstallationLog::Reopen() { return Open(FileSystem::OpenMode::kAppendBinary); }

bool InstallationLog::Record(std::string_view message) {
  const IoResult written = files_.Write(fd_, message);
  return written.ok || Report(written.error);
}

bool InstallationLog::Close() {
  const IoResult closed = files_.Close(fd_);
  fd_ = -1;
  return closed.ok || Report(closed.error);
}

bool InstallationLog::Open(FileSystem::OpenMode mode) {
  const OpenResult opened = files_.Open(path_, mode);
  fd_ = opened.fd;
  return fd_ >= 0 || Report(opened.error);
}

bool InstallationLog::Report(int error) {
  console_.Print(msg::IoError(path_, error));
  failed_ = true;
  return false;
}

}  // namespace ivx
