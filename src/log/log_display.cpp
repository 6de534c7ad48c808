#include "log/log_display.h"

namespace ivx {

std::string ShowInstallationLog(FileSystem& files, const std::string& path) {
  const OpenResult opened = files.Open(path, FileSystem::OpenMode::kReadBinary);
  if (opened.fd < 0) return msg::IoError(path, opened.error);
  files.SeekFromStart(opened.fd, kStartLineBytes);
  ReadResult read = files.Read(opened.fd, kDisplayBytes);
  files.Close(opened.fd);
  return read.ok ? std::move(read.bytes) : std::string();
}

}  // namespace ivx
