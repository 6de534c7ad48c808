#include "log/installation_log.h"

#include <utility>

namespace ivx {

InstallationLog::InstallationLog(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {}

InstallationLog::~InstallationLog() {
  if (fd_ >= 0) files_.Close(fd_);
}

IoResult InstallationLog::Create() { return Open(FileSystem::OpenMode::kCreateAppendText); }

IoResult InstallationLog::Reopen() { return Open(FileSystem::OpenMode::kAppendBinary); }

IoResult InstallationLog::Record(std::string_view message) { return files_.Write(fd_, message); }

IoResult InstallationLog::Close() {
  const IoResult closed = files_.Close(fd_);
  fd_ = -1;
  return closed;
}

IoResult InstallationLog::Open(FileSystem::OpenMode mode) {
  const OpenResult opened = files_.Open(path_, mode);
  fd_ = opened.fd;
  if (fd_ < 0) return {false, opened.error};
  return {};
}

}  // namespace ivx
