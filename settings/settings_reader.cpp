#include "settings/settings_reader.h"

#include "core/messages.h"

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

SettingsVerdict BuildPropertyString(const CSettingsFile& file, KeysRead keysRead) {
  SettingsVerdict verdict;
  if (!file.Exists()) {
    verdict.refusal = SettingsVerdict::Refusal::kMissingFile;
    return verdict;
  }
  verdict.version = file.GetValue("VORX", "vorxversion");
  if (!IsSupportedVersion(verdict.version)) {
    verdict.refusal = SettingsVerdict::Refusal::kUnsupportedVersion;
    return verdict;
  }
  PropertyString properties = MakePropertyString(
      [&file](std::string_view key) {
        return file.GetValue("INSTALLATION_SETTINGS", std::string(key));
      },
      keysRead);
  if (!properties.Valid()) {
    verdict.refusal = SettingsVerdict::Refusal::kInvalidDefinition;
    verdict.invalid = std::move(properties.invalid);
    return verdict;
  }
  verdict.propertyString = std::move(properties.text);
  return verdict;
}

}  // namespace ivx
