// The settings reader: from the settings file named after "/f" to the launcher's property
// string, or the reason the file is refused. It prints nothing and writes no log: each
// command renders the verdict its own way.
#pragma once

#include <string>
#include <vector>

#include "settings/property_string.h"
#include "settings/settings_file.h"

namespace ivx {

struct SettingsVerdict {
  enum class Refusal { kNone, kMissingFile, kUnsupportedVersion, kInvalidDefinition };

  Refusal refusal = Refusal::kNone;
  std::string version;                     // "vorxversion" as read, once the file exists
  std::string propertyString;              // when accepted
  std::vector<std::string> pieces;         // when accepted: the property string's piece per key
  std::vector<InvalidDefinition> invalid;  // for kInvalidDefinition, in the order read

  bool Accepted() const { return refusal == Refusal::kNone; }
  // The refusal as the installation prints it (QEDN40121-W, QEDN40122-W, or QEDN40123-W
  // naming the first invalid definition), ending in a newline; empty when accepted.
  std::string Message() const;
};

// Tests that the file exists, checks its version, then reads and validates the installation
// settings in their fixed order: until the first invalid value (as the installation does), or
// every one of them, and then even when the version was refused.
SettingsVerdict BuildPropertyString(const CSettingsFile& file,
                                    KeysRead keysRead = KeysRead::kUntilFirstInvalid);

}  // namespace ivx
