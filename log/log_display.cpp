#include "log/log_display.h"

#include "core/messages.h"

namespace ivx {

void ShowInstallationLog(FileSystem& files, Console& console, const std::string& path) {
  const OpenResult opened = files.Open(path, FileSystem::OpenMode::kReadBinary);
  if (opened.fd < 0) {
    console.Print(msg::IoError(path, opened.error));
    return;
  }
  files.SeekFromStart(opened.fd, kStartLineBytes);
  const ReadResult read = files.Read(opened.fd, kDisplayBytes);
  if (read.ok) console.Print(read.bytes);
  files.Close(opened.fd);
}

}  // namespace ivx
