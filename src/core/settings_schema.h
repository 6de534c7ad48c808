// The settings file's schema: its two sections, the version key, and the installation
// settings with the kind of value each takes, in the order they are read and passed on. Every
// other part of the system names them from here.
#pragma once

#include <array>
#include <string_view>

namespace ivx {

inline constexpr std::string_view kVersionSection = "VORX";
inline constexpr std::string_view kVersionKey = "vorxversion";
inline constexpr std::string_view kSettingsSection = "INSTALLATION_SETTINGS";

enum class ValueRule {
  kDirectory,  // quoted for the launcher; a quotation mark only as an enclosing pair, dropped
  kAddress,    // free form, quoted when it holds a blank; no quotation mark
  kPort,       // decimal digits only, no range
  kSwitch,     // TRUE or FALSE in any letter case, passed on in upper case
};

struct SettingKey {
  std::string_view name;
  ValueRule rule;
};

// The keys of section INSTALLATION_SETTINGS.
inline constexpr std::array<SettingKey, 8> kSettingKeys = {{
    {"VORX_INSTDIR", ValueRule::kDirectory},
    {"VORX_DBDIR", ValueRule::kDirectory},
    {"VORX_IPADDRESS", ValueRule::kAddress},
    {"VORX_PORT", ValueRule::kPort},
    {"VORX_SNMPTRAP", ValueRule::kSwitch},
    {"VORX_SNMPIPADDRESS", ValueRule::kAddress},
    {"VORX_SNMPTRAPPORT", ValueRule::kPort},
    {"VORX_RUNSERVICE", ValueRule::kSwitch},
}};

}  // namespace ivx
