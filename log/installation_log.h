// The command's own log of one run. It is created before the launch and written in text
// mode (each LF stored as CR LF), closed while the launcher runs (the launcher is given its
// path and may write to it), and reopened afterwards for appending in binary mode.
//
// Every failing operation prints the I/O error report with the log's path on the console
// and is remembered: a run whose log could not be written ends with status 9.
#pragma once

#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/files.h"

namespace ivx {

class InstallationLog {
 public:
  InstallationLog(FileSystem& files, Console& console, std::string path);
  ~InstallationLog();
  InstallationLog(const InstallationLog&) = delete;
  InstallationLog& operator=(const InstallationLog&) = delete;

  // Creates the file, or opens it for appending when it already exists.
  bool Create();
  bool Record(std::string_view message);
  bool Close();
  bool Reopen();
  // True when any operation on the log has failed.
  bool Failed() const { return failed_; }
  const std::string& Path() const { return path_; }

 private:
  bool Open(FileSystem::OpenMode mode);
  bool Report(int error);

  FileSystem& files_;
  Console& console_;
  std::string path_;
  int fd_ = -1;
  bool failed_ = false;
};

}  // namespace ivx
