// The command's own log of one run. It is created before the launch and written in text
// mode (each LF stored as CR LF), closed while the launcher runs (the launcher is given its
// path and may write to it), and reopened afterwards for appending in binary mode.
//
// Each operation returns its outcome with the errno of a failure; the caller reports it.
#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"

namespace ivx {

class InstallationLog {
 public:
  InstallationLog(FileSystem& files, std::string path);
  ~InstallationLog();
  InstallationLog(const InstallationLog&) = delete;
  InstallationLog& operator=(const InstallationLog&) = delete;

  // Creates the file, or opens it for appending when it already exists.
  IoResult Create();
  IoResult Record(std::string_view message);
  IoResult Close();
  IoResult Reopen();
  const std::string& Path() const { return path_; }

 private:
  IoResult Open(FileSystem::OpenMode mode);

  FileSystem& files_;
  std::string path_;
  int fd_ = -1;
};

}  // namespace ivx
