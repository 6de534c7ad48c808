#include "settings/settings_file.h"

#include "core/paths.h"
#include "core/ini_reader.h"

namespace ivx {

CSettingsFile::CSettingsFile(FileSystem& files, PathStyle style, const std::string& name,
                             const std::string& currentDirectory)
    : files_(&files), path_(ResolveAgainst(style, currentDirectory, name)) {}

bool CSettingsFile::Exists() const { return files_->CanOpenForReading(path_); }

ProfileValue CSettingsFile::GetValue(const std::string& section, const std::string& key) const {
  ProfileValue value = files_->ProfileString(path_, section, key);
  if (value.text.size() > kMaxProfileValue) value.text.resize(kMaxProfileValue);
  return value;
}

}  // namespace ivx
