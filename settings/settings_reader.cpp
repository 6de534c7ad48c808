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
    if (keysRead == KeysRead::kUntilFirstInvalid) return verdict;
  }
  PropertyString properties = MakePropertyString(
      [&file](std::string_view key) {
        return file.GetValue("INSTALLATION_SETTINGS", std::string(key));
      },
      keysRead);
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

}  // namespace ivx
