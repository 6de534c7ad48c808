#include "settings/settings_reader.h"

#include "core/messages.h"
#include "core/paths.h"

namespace ivx {

std::string SettingsVerdict::Message() const {
  switch (refusal) {
    case Refusal::kNone:
      break;
    case Refusal::kMissingFile:
      return std::string(msg::kSettingsFileMissing);
    case Refusal::kUnsupportedVersion:
      return msg::UnsupportedVersion();
    case Refusal::kInvalidDefinition:
      return msg::InvalidDefinition(invalid.front().Text());
  }
  return {};
}

SettingsVerdict BuildPropertyString(const CSettingsFile& file, LeadByteTest isLead,
                                    KeysRead keysRead) {
  SettingsVerdict verdict;
  verdict.path = file.FullPath();
  if (!file.Exists()) {
    verdict.refusal = SettingsVerdict::Refusal::kMissingFile;
    return verdict;
  }
  verdict.version = file.GetValue(std::string(kVersionSection), std::string(kVersionKey));
  if (!IsSupportedVersion(verdict.version)) {
    verdict.refusal = SettingsVerdict::Refusal::kUnsupportedVersion;
    if (keysRead == KeysRead::kUntilFirstInvalid) return verdict;
  }
  PropertyString properties = MakePropertyString(
      [&file](std::string_view key) {
        return file.GetValue(std::string(kSettingsSection), std::string(key));
      },
      isLead, keysRead);
  verdict.invalid = std::move(properties.invalid);
  if (!verdict.Accepted()) return verdict;
  if (!verdict.invalid.empty()) {
    verdict.refusal = SettingsVerdict::Refusal::kInvalidDefinition;
    return verdict;
  }
  verdict.propertyString = std::move(properties.text);
  verdict.pieces = std::move(properties.pieces);
  return verdict;
}

std::optional<std::string> CurrentDirectoryFor(PathStyle style, const SystemPath& current,
                                               LeadByteTest isLead) {
  if (current.inexpressible) return std::nullopt;
  return CurrentDirectoryText(style, current.text, isLead);
}

SettingsVerdict ReadSettingsFile(FileSystem& files, PathStyle style, const SettingsName& name,
                                 const std::optional<std::string>& currentDirectory,
                                 LeadByteTest isLead, KeysRead keysRead) {
  const bool relative = !IsAbsolutePath(style, name.text);
  if (!name.expressible || (relative && !currentDirectory)) {
    SettingsVerdict missing;
    missing.refusal = SettingsVerdict::Refusal::kMissingFile;
    return missing;
  }
  const CSettingsFile file(files, style, name.text, currentDirectory.value_or(std::string()));
  return BuildPropertyString(file, isLead, keysRead);
}

}  // namespace ivx
