// Eight settings values from any bytes, and what matters about them: once the property
// string is accepted, the launcher's C runtime splits the complete command line into the
// six fixed arguments and one more, "/v/qr" followed by each value set, in key order, as
// intended. No value can add, remove or merge an argument.
//
// The fuzz data is split into the values at LF, CR and zero bytes, and each value is cut to
// 1023 bytes: the profile reader ends a value at a line end and at a zero byte and returns
// at most 1023 bytes, so no settings file yields anything else. Every other byte stays
// possible, blanks at either end included.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/ini_reader.h"
#include "fuzz/fuzz_check.h"
#include "platform/command_line.h"
#include "settings/property_string.h"
#include "setup/launcher.h"

namespace {

using ivx::fuzz::Require;
using Values = std::array<std::string, ivx::kSettingKeys.size()>;

const std::vector<std::string> kFixedArguments = {
    "C:\\kit\\setup.exe", "/s",          "/f1C:\\kit\\setup.iss",
    "/f2C:\\setup_x.log", "/clone_wait", "/zC:\\installvorx_x.log"};

Values SplitValues(std::string_view data) {
  Values values;
  std::size_t index = 0;
  for (char c : data) {
    if (c == '\n' || c == '\r' || c == '\0') {
      if (++index == values.size()) break;
    } else if (values[index].size() < ivx::kMaxProfileValue) {
      values[index] += c;
    }
  }
  return values;
}

std::size_t IndexOf(std::string_view key) {
  std::size_t index = 0;
  while (ivx::kSettingKeys[index].name != key) ++index;
  return index;
}

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

// The value as the launcher must receive it, written independently of the code under test.
std::string Intended(ivx::ValueRule rule, const std::string& value) {
  switch (rule) {
    case ivx::ValueRule::kDirectory: {
      // A folder that kept its own enclosing pair arrives as the folder between them.
      const bool enclosed = value.size() >= 3 && value.front() == '"' && value.back() == '"';
      return '"' + (enclosed ? value.substr(1, value.size() - 2) : value) + '"';
    }
    case ivx::ValueRule::kAddress:
      return value.find(' ') == std::string::npos ? value : '"' + value + '"';
    case ivx::ValueRule::kPort:
      return value;
    case ivx::ValueRule::kSwitch:
      return UpperCase(value);
  }
  return {};
}

std::string IntendedArgument(const Values& values) {
  std::string argument = "/v/qr";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i].empty()) continue;
    const ivx::SettingKey& key = ivx::kSettingKeys[i];
    argument += " " + std::string(key.name) + "=" + Intended(key.rule, values[i]);
  }
  return argument;
}

// The rejection names the first value set whose piece is refused, exactly as read.
void CheckRejection(const Values& values, const ivx::PropertyString& built) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i].empty() || ivx::PropertyPiece(ivx::kSettingKeys[i], values[i])) continue;
    Require(
        built.invalid.size() == 1 && built.invalid.front().Text() ==
                                         std::string(ivx::kSettingKeys[i].name) + "=" + values[i],
        "a rejection names the first invalid value as read");
    return;
  }
  Require(false, "a rejection has an invalid value");
}

void CheckLauncherArguments(const Values& values, const std::string& properties) {
  const std::string commandLine = ivx::BuildLauncherCommandLine(
      "C:\\kit\\", "C:\\setup_x.log", "C:\\installvorx_x.log", properties);
  const std::vector<std::string> args = ivx::SplitCommandLine(commandLine);
  Require(args.size() == kFixedArguments.size() + 1, "the launcher gets exactly 7 arguments");
  Require(std::equal(kFixedArguments.begin(), kFixedArguments.end(), args.begin()),
          "the first six arguments are the fixed ones");
  Require(args.back() == IntendedArgument(values),
          "the last argument is /v/qr and every value set, as intended");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Values values = SplitValues(ivx::fuzz::AsText(data, size));
  const ivx::PropertyString built =
      ivx::MakePropertyString([&values](std::string_view key) { return values[IndexOf(key)]; });
  if (built.Valid()) {
    CheckLauncherArguments(values, built.text);
  } else {
    CheckRejection(values, built);
  }
  return 0;
}
