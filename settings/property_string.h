// The validation of each installation setting and the property string built from them,
// which the launcher receives as its last argument.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/characters.h"

namespace ivx {

enum class ValueRule {
  kDirectory,  // quoted for the launcher; a quotation mark only as an enclosing pair
  kAddress,    // free form, quoted when it holds a blank; no quotation mark
  kPort,       // decimal digits only, no range
  kSwitch,     // TRUE or FALSE in any letter case, passed on in upper case
};

struct SettingKey {
  std::string_view name;
  ValueRule rule;
};

// The keys of section INSTALLATION_SETTINGS, in the order they are read and passed on.
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

// A version value is accepted when it is "6.1.0-00" or a leading part of it (such as "6.1"):
// settings files written with a shortened version are in use.
bool IsSupportedVersion(std::string_view value);

// The piece added to the property string for a value that is set (not empty): a blank, the
// key, "=" and the value as the launcher must see it; nullopt when the value is invalid.
// Values are text in the system's code page, walked by character.
std::optional<std::string> PropertyPiece(const SettingKey& key, std::string_view value,
                                         LeadByteTest isLead = NoLeadBytes);

struct PropertyString {
  std::string text;               // when every value is valid
  std::string invalidDefinition;  // otherwise the first invalid one: key, "=", the value read
  bool valid = true;
};

// Reads each key's value in order through valueOf; an empty value is "not set" and skipped;
// the first invalid value ends the reading. The text is "/v", a quotation mark, "/qr", the
// pieces and the closing quotation mark, quoted so that the launcher's C runtime yields one
// argument holding "/v/qr" and every value intact.
PropertyString MakePropertyString(const std::function<std::string(std::string_view)>& valueOf,
                                  LeadByteTest isLead = NoLeadBytes);

}  // namespace ivx
