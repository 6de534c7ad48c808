// The validation of each installation setting and the property string built from them,
// which the launcher receives as its last argument.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/characters.h"
#include "core/settings_schema.h"

namespace ivx {

// A version value is accepted when it is "6.1.0-00" or a leading part of it (such as "6.1"):
// settings files written with a shortened version are in use.
bool IsSupportedVersion(std::string_view value);

// The piece added to the property string for a value that is set (not empty): a blank, the
// key, "=" and the value as the launcher must see it; nullopt when the value is invalid.
// Values are text in the system's code page, walked by character.
std::optional<std::string> PropertyPiece(const SettingKey& key, std::string_view value,
                                         LeadByteTest isLead = NoLeadBytes);

// Why a value that is set is invalid, in plain words; empty when it is valid or not set.
std::string_view InvalidReason(const SettingKey& key, std::string_view value);

// A value that is set but invalid.
struct InvalidDefinition {
  std::string key;
  std::string value;   // as read
  std::string reason;  // in plain words
  // The key, "=" and the value as read, as the refusal names it.
  std::string Text() const { return key + "=" + value; }
};

// Whether the reading stops at the first invalid value (as the installation does) or goes on
// to report every one.
enum class KeysRead { kUntilFirstInvalid, kEvery };

struct PropertyString {
  std::string text;                        // when every value is valid
  std::vector<std::string> pieces;         // the piece of each key set, in order
  std::vector<InvalidDefinition> invalid;  // otherwise the invalid ones, in the order read
  bool Valid() const { return invalid.empty(); }
};

// A value as read, and why the reading itself already makes it unusable whatever its key's rule
// (empty when it does not).
struct ReadValue {
  // Implicit: a text alone is a value that the reading found nothing wrong with.
  // cppcheck-suppress noExplicitConstructor
  ReadValue(std::string value = {}, std::string_view unusable = {})
      : text(std::move(value)), fault(unusable) {}
  std::string text;
  std::string_view fault;
};

// Reads each key's value in order through valueOf; an empty value is "not set" and skipped.
// The text is "/v", a quotation mark, "/qr", the pieces and the closing quotation mark, quoted
// so that the launcher's C runtime yields one argument holding "/v/qr" and every value intact.
// Values are text in the system's code page, walked by character.
PropertyString MakePropertyString(const std::function<ReadValue(std::string_view)>& valueOf,
                                  LeadByteTest isLead = NoLeadBytes,
                                  KeysRead keysRead = KeysRead::kUntilFirstInvalid);

}  // namespace ivx
