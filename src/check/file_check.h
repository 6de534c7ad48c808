// Checking one settings file as the installation would read it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/warnings.h"
#include "core/argument.h"
#include "core/path_style.h"
#include "platform/files.h"
#include "settings/settings_reader.h"

namespace ivx::check {

struct FileReport {
  std::string file;              // as given
  bool nameAccepted = true;      // false: the installation refuses the name itself after "/f"
  SettingsVerdict verdict;       // every invalid definition, not only the first
  WarningScan warnings;          // empty when the file cannot be read
  std::string launcherArgument;  // when accepted: as the launcher's C runtime splits it
  std::vector<std::string> launcherKeys;  // when accepted: that argument's part for each key

  bool Accepted() const { return nameAccepted && verdict.Accepted(); }
  // What the installation prints for this file when it refuses it, without the newline;
  // empty when accepted.
  std::string Message() const;
};

// The name is resolved as the installation resolves its "/f" value, against the current
// directory text (which ends in a separator; nullopt when the code page cannot express it);
// the verdict comes from the same reader.
FileReport CheckFile(FileSystem& files, PathStyle style, const Argument& name,
                     const std::optional<std::string>& currentDirectory, LeadByteTest isLead);

}  // namespace ivx::check
