#include "check/engine_properties.h"

#include <algorithm>

namespace ivx::check {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The quoted value starting after its opening mark at text[at]; at ends after the piece.
std::string QuotedValue(std::string_view text, std::size_t& at) {
  std::string value;
  for (; at < text.size(); ++at) {
    if (text[at] != '"') {
      value += text[at];
    } else if (at + 1 < text.size() && text[at + 1] == '"') {
      value += '"';
      ++at;
    } else {
      break;
    }
  }
  while (at < text.size() && !IsBlank(text[at])) ++at;  // stray text after the closing mark
  return value;
}

std::string PlainValue(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && !IsBlank(text[at])) ++at;
  return std::string(text.substr(start, at - start));
}

void Set(EngineProperties& properties, std::string key, std::string value) {
  const auto same = [&key](const auto& property) { return property.first == key; };
  const auto found = std::find_if(properties.begin(), properties.end(), same);
  if (found != properties.end()) {
    found->second = std::move(value);
  } else {
    properties.emplace_back(std::move(key), std::move(value));
  }
}

}  // namespace

EngineProperties EnginePropertiesOf(std::string_view launcherArgument) {
  constexpr std::string_view kHandOn = "/v";
  std::string_view text = launcherArgument;
  if (text.substr(0, kHandOn.size()) == kHandOn) text.remove_prefix(kHandOn.size());
  EngineProperties properties;
  for (std::size_t at = 0; at < text.size();) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '=' && text[at] != '"') ++at;
    if (at == text.size() || text[at] != '=' || at == start) {
      PlainValue(text, at);  // a switch, or a piece that sets nothing
      continue;
    }
    std::string key(text.substr(start, at - start));
    ++at;
    const bool quoted = at < text.size() && text[at] == '"';
    if (quoted) ++at;
    Set(properties, std::move(key), quoted ? QuotedValue(text, at) : PlainValue(text, at));
  }
  return properties;
}

}  // namespace ivx::check
