#include "settings/property_string.h"

#include <algorithm>

#include "core/messages.h"
#include "core/quoting.h"

namespace ivx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ASCII only: other bytes are never part of TRUE or FALSE.
std::string UpperCase(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return upper;
}

std::string QuotedValue(std::string_view value, LeadByteTest isLead) {
  return EscapeQuotationMarks("\"" + std::string(value) + "\"", isLead);
}

bool IsValidDirectory(std::string_view v) {
  if (v == "\"" || v == "\"\"") return false;
  if ((v.front() == '"') != (v.back() == '"')) return false;
  return v.size() <= 2 || v.substr(1, v.size() - 2).find('"') == std::string_view::npos;
}

std::optional<std::string> RuleValue(ValueRule rule, std::string_view v, LeadByteTest isLead) {
  switch (rule) {
    case ValueRule::kDirectory:
      if (!IsValidDirectory(v)) return std::nullopt;
      return QuotedValue(v, isLead);
    case ValueRule::kAddress:
      if (v.find('"') != std::string_view::npos) return std::nullopt;
      if (v.find(' ') != std::string_view::npos) return QuotedValue(v, isLead);
      return std::string(v);
    case ValueRule::kPort:
      if (!std::all_of(v.begin(), v.end(), IsDigit)) return std::nullopt;
      return std::string(v);
    case ValueRule::kSwitch: {
      std::string upper = UpperCase(v);
      if (upper != "TRUE" && upper != "FALSE") return std::nullopt;
      return upper;
    }
  }
  return std::nullopt;
}

}  // namespace

bool IsSupportedVersion(std::string_view value) {
  return !value.empty() && msg::kProductVersion.substr(0, value.size()) == value;
}

std::optional<std::string> PropertyPiece(const SettingKey& key, std::string_view value,
                                         LeadByteTest isLead) {
  if (value.empty()) return std::nullopt;
  std::optional<std::string> rendered = RuleValue(key.rule, value, isLead);
  if (!rendered) return std::nullopt;
  return " " + std::string(key.name) + "=" + *rendered;
}

PropertyString MakePropertyString(const std::function<std::string(std::string_view)>& valueOf,
                                  LeadByteTest isLead) {
  PropertyString result{"/v\"/qr", {}, true};
  for (const SettingKey& key : kSettingKeys) {
    const std::string value = valueOf(key.name);
    if (value.empty()) continue;
    std::optional<std::string> piece = PropertyPiece(key, value, isLead);
    if (!piece) return {{}, std::string(key.name) + "=" + value, false};
    result.text += *piece;
  }
  result.text = CloseQuotes(std::move(result.text), isLead);
  return result;
}

}  // namespace ivx
