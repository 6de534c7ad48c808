#include "settings/settings_reader.h"

#include "core/messages.h"
#include "settings/property_string.h"

namespace ivx {

std::optional<std::string> BuildPropertyString(const CSettingsFile& file, Console& console,
                                               LeadByteTest isLead) {
  if (!file.Exists()) {
    console.Print(msg::kSettingsFileMissing);
    return std::nullopt;
  }
  if (!IsSupportedVersion(file.GetValue("VORX", "vorxversion"))) {
    console.Print(msg::UnsupportedVersion());
    return std::nullopt;
  }
  const PropertyString properties = MakePropertyString(
      [&file](std::string_view key) {
        return file.GetValue("INSTALLATION_SETTINGS", std::string(key));
      },
      isLead);
  if (!properties.valid) {
    console.Print(msg::InvalidDefinition(properties.invalidDefinition));
    return std::nullopt;
  }
  return properties.text;
}

}  // namespace ivx
