// The settings reader: from the settings file named after "/f" to the launcher's property
// string.
#pragma once

#include <optional>
#include <string>

#include "core/characters.h"
#include "platform/console.h"
#include "settings/settings_file.h"

namespace ivx {

// The property string, or nullopt when the file is rejected: it does not exist, its product
// version is missing or unsupported, or a value is invalid. The reason is printed on the
// console; nothing is written to any log. isLead tells the code page the values are in.
std::optional<std::string> BuildPropertyString(const CSettingsFile& file, Console& console,
                                               LeadByteTest isLead = NoLeadBytes);

}  // namespace ivx
