// The settings reader: from the settings file named after "/f" to the launcher's property
// string, or the reason the file is refused. It prints nothing and writes no log: each
// command renders the verdict its own way.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/argument.h"
#include "core/characters.h"
#include "core/path_style.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "settings/property_string.h"

namespace ivx {

// The settings file named after "/f".
class SettingsFile {
 public:
  // name is the file name as written after "/f"; one that is not absolute on the platform
  // is taken relative to the current directory text (which ends in a separator).
  SettingsFile(FileSystem& files, PathStyle style, const std::string& name,
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

struct SettingsVerdict {
  enum class Refusal { kNone, kMissingFile, kUnsupportedVersion, kInvalidDefinition };

  Refusal refusal = Refusal::kNone;
  std::string path;                 // the full path of the file, once the name could be resolved
  std::string version;              // "vorxversion" as read, once the file exists
  std::string propertyString;       // when accepted
  std::vector<std::string> pieces;  // when accepted: the property string's piece per key
  std::vector<InvalidDefinition> invalid;  // for kInvalidDefinition, in the order read

  bool Accepted() const { return refusal == Refusal::kNone; }
  // The refusal as the installation prints it (QEDN40121-W, QEDN40122-W, or QEDN40123-W
  // naming the first invalid definition), ending in a newline; empty when accepted.
  std::string Message() const;
};

// Tests that the file exists, checks its version, then reads and validates the installation
// settings in their fixed order: until the first invalid value (as the installation does), or
// every one of them, and then even when the version was refused. isLead tells the code page
// the values are in.
SettingsVerdict BuildPropertyString(const SettingsFile& file, LeadByteTest isLead,
                                    KeysRead keysRead = KeysRead::kUntilFirstInvalid);

// The current directory text that relative settings names are taken from; nullopt when the
// code page cannot express the current directory.
std::optional<std::string> CurrentDirectoryFor(PathStyle style, const SystemPath& current,
                                               LeadByteTest isLead);

// Resolves the name against the current directory text as the installation resolves its "/f"
// value, then reads the file as BuildPropertyString does. A name that cannot be expressed, or
// a relative one when the current directory cannot be, is a missing file.
SettingsVerdict ReadSettingsFile(FileSystem& files, PathStyle style, const Argument& name,
                                 const std::optional<std::string>& currentDirectory,
                                 LeadByteTest isLead,
                                 KeysRead keysRead = KeysRead::kUntilFirstInvalid);

}  // namespace ivx
