// The installation information settings file named after "/f".
#pragma once

#include <string>

#include "core/path_style.h"
#include "platform/files.h"

namespace ivx {

class CSettingsFile {
 public:
  // name is the file name as written after "/f"; one that is not absolute on the platform
  // is taken relative to the current directory text (which ends in a separator).
  CSettingsFile(FileSystem& files, PathStyle style, const std::string& name,
                const std::string& currentDirectory);

  const std::string& FullPath() const { return path_; }
  // True when the file can be opened for reading; a folder or an unreadable file cannot.
  bool Exists() const;
  // The value of the key in the section, at most 1023 characters; an empty text means "not
  // set" (the key, the section or the file is missing, or the value is empty).
  ProfileValue GetValue(const std::string& section, const std::string& key) const;

 private:
  FileSystem* files_;
  std::string path_;
};

}  // namespace ivx
