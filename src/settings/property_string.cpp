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

// Why a value is invalid, in plain words; empty when it is valid.
std::string_view DirectoryFault(std::string_view v) {
  if (v == "\"" || v == "\"\"") return "a folder cannot be quotation marks alone";
  if ((v.front() == '"') != (v.back() == '"')) {
    return "a quotation mark must stand at both ends of the folder or at neither";
  }
  if (v.size() > 2 && v.substr(1, v.size() - 2).find('"') != std::string_view::npos) {
    return "a folder cannot hold a quotation mark inside it";
  }
  return {};
}

// A folder that kept its own pair of quotation marks (the reader drops only one pair) is placed
// between the quotation marks of its piece without them: the installer engine reads
// ""D:\x"" as an empty text and stray characters, and no folder name can hold a quotation mark.
std::string_view WithoutEnclosingQuotes(std::string_view folder) {
  const bool enclosed = folder.size() >= 3 && folder.front() == '"' && folder.back() == '"';
  return enclosed ? folder.substr(1, folder.size() - 2) : folder;
}

// The value as the launcher must see it, or why it is invalid.
struct Rendering {
  std::string text;
  std::string_view fault;  // empty when the value is valid
};

Rendering Render(ValueRule rule, std::string_view v, LeadByteTest isLead) {
  switch (rule) {
    case ValueRule::kDirectory: {
      const std::string_view fault = DirectoryFault(v);
      return fault.empty() ? Rendering{QuotedValue(WithoutEnclosingQuotes(v), isLead), {}}
                           : Rendering{{}, fault};
    }
    case ValueRule::kAddress:
      if (v.find('"') != std::string_view::npos) {
        return {{}, "an address cannot hold a quotation mark"};
      }
      return {v.find(' ') != std::string_view::npos ? QuotedValue(v, isLead) : std::string(v), {}};
    case ValueRule::kPort:
      if (!std::all_of(v.begin(), v.end(), IsDigit)) {
        return {{}, "a port must be decimal digits (0 to 9) only"};
      }
      return {std::string(v), {}};
    case ValueRule::kSwitch: {
      std::string upper = UpperCase(v);
      if (upper != "TRUE" && upper != "FALSE")
        return {{}, "the value must be TRUE or FALSE, in any letter case"};
      return {std::move(upper), {}};
    }
  }
  return {{}, "unknown rule"};
}

}  // namespace

bool IsSupportedVersion(std::string_view value) {
  return !value.empty() && msg::kProductVersion.substr(0, value.size()) == value;
}

std::optional<std::string> PropertyPiece(const SettingKey& key, std::string_view value,
                                         LeadByteTest isLead) {
  if (value.empty()) return std::nullopt;
  Rendering rendered = Render(key.rule, value, isLead);
  if (!rendered.fault.empty()) return std::nullopt;
  return " " + std::string(key.name) + "=" + rendered.text;
}

std::string_view InvalidReason(const SettingKey& key, std::string_view value) {
  // Whether a value is valid never depends on the code page.
  return value.empty() ? std::string_view() : Render(key.rule, value, NoLeadBytes).fault;
}

PropertyString MakePropertyString(const std::function<ReadValue(std::string_view)>& valueOf,
                                  LeadByteTest isLead, KeysRead keysRead) {
  PropertyString result{"/v\"/qr", {}, {}};
  for (const SettingKey& key : kSettingKeys) {
    ReadValue read = valueOf(key.name);
    std::string value = std::move(read.text);
    if (value.empty()) continue;
    Rendering rendered = Render(key.rule, value, isLead);
    if (!read.fault.empty()) rendered.fault = read.fault;
    if (rendered.fault.empty()) {
      result.pieces.push_back(" " + std::string(key.name) + "=" + rendered.text);
      result.text += result.pieces.back();
      continue;
    }
    result.invalid.push_back(
        {std::string(key.name), std::move(value), std::string(rendered.fault)});
    if (keysRead == KeysRead::kUntilFirstInvalid) break;
  }
  if (!result.Valid()) return {{}, {}, std::move(result.invalid)};
  result.text = CloseQuotes(std::move(result.text), isLead);
  return result;
}

}  // namespace ivx
