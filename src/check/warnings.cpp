#include "check/warnings.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "core/characters.h"
#include "core/ini_reader.h"
#include "core/messages.h"
#include "settings/property_string.h"

namespace ivx::check {
namespace {

constexpr unsigned long kHighestPort = 65535;
constexpr std::size_t kListedWarnings = 100;
// Section names kept to tell a repeated one; past them a name counts as new.
constexpr std::size_t kKeptSections = 256;

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
  return lowered;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replaced = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({replaced, row[j] + 1, row[j - 1] + 1});
    }
  }
  return row[b.size()];
}

const SettingKey* InstallationKey(std::string_view name) {
  const auto* found =
      std::find_if(kSettingKeys.begin(), kSettingKeys.end(),
                   [name](const SettingKey& key) { return SameName(key.name, name); });
  return found == kSettingKeys.end() ? nullptr : found;
}

std::vector<std::string_view> KnownKeys() {
  std::vector<std::string_view> keys{kVersionKey};
  std::transform(kSettingKeys.begin(), kSettingKeys.end(), std::back_inserter(keys),
                 [](const SettingKey& key) { return key.name; });
  return keys;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsPortAbove65535(std::string_view digits) {
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  return digits.size() > 5 ||
         (digits.size() == 5 && std::stoul(std::string(digits)) > kHighestPort);
}

// "C:\..." (or "C:/..."), or a network path "\\server\share".
bool IsAbsoluteWindowsPath(std::string_view folder) {
  if (folder.size() >= 2 && folder[0] == '"' && folder.back() == '"') {
    folder = folder.substr(1, folder.size() - 2);
  }
  const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                     folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  return drive || folder.substr(0, 2) == "\\\\";
}

// The warnings of one file, the first of them listed and the others counted.
class WarningList {
 public:
  void Add(std::size_t line, const std::string& text) {
    if (listed_.size() < kListedWarnings) {
      listed_.push_back({line, text});
    } else if (unlisted_++ == 0) {
      firstUnlisted_ = line;
    }
  }

  std::vector<Warning> Take() {
    if (unlisted_ > 0) {
      listed_.push_back({firstUnlisted_, std::to_string(unlisted_) +
                                             " more warnings from this line on are not listed"});
    }
    return std::move(listed_);
  }

 private:
  std::vector<Warning> listed_;
  std::size_t unlisted_ = 0;
  std::size_t firstUnlisted_ = 0;
};

// The warnings about the value of a key that the installation reads.
void ValueWarnings(const IniLine& line, const SettingKey* key, WarningList& out) {
  const std::string& v = line.value;
  const auto warn = [&](const std::string& text) { out.Add(line.number, text); };
  if (line.cut) warn(line.name + ": the value is longer than 1023 characters and is cut there");
  if (v.empty()) return;
  if (v.find(';') != std::string::npos) {
    warn(line.name + ": the \";\" is part of the value; a comment needs a line of its own");
  }
  if (line.encoding == IniEncoding::kBytes && IsUtf8BeyondAscii(v)) {
    warn(line.name +
         ": the value is UTF-8 in a file without a UTF-8 byte-order mark; Windows reads such a "
         "file in its code page and refuses the value: save the file as UTF-8 with a byte-order "
         "mark, or as Unicode");
  } else if (!IsAscii(v) && !IsUtf8BeyondAscii(v)) {
    warn(line.name +
         (line.encoding == IniEncoding::kBytes
              ? ": the value's characters outside ASCII are not UTF-8; a Windows host whose code "
                "page is UTF-8 (65001) reads each as U+FFFD and refuses the value: save the file "
                "as UTF-8 with a byte-order mark, or as Unicode"
              : ": the value is not valid UTF-8 although the file is marked as UTF-8; Windows "
                "refuses the value: save the file as UTF-8 again"));
  } else if (!IsAscii(v)) {
    warn(line.name +
         ": the value holds characters outside ASCII; the launcher receives them in the "
         "system's code page");
  }
  if (key == nullptr) {
    if (IsSupportedVersion(v) && v != msg::kProductVersion) {
      warn(line.name + "=" + v + " is taken for " + std::string(msg::kProductVersion) +
           " as a leading part of it; write " + std::string(msg::kProductVersion));
    }
    return;
  }
  if (!InvalidReason(*key, v).empty()) return;  // a problem already, not a warning
  if (key->rule == ValueRule::kPort && IsPortAbove65535(v)) {
    warn(line.name + ": port " + v + " is above 65535");
  }
  if (key->rule == ValueRule::kDirectory && !IsAbsoluteWindowsPath(v)) {
    warn(line.name + ": \"" + v + "\" is not an absolute Windows path (such as C:\\VORX)");
  }
}

class Scan {
 public:
  void Visit(const IniLine& line) {
    switch (line.kind) {
      case IniLine::Kind::kSection:
        return Section(line);
      case IniLine::Kind::kEntry:
        return Entry(line);
      case IniLine::Kind::kOther:
        return Warn(line, R"(a "[" without "]" names no section; the line is not read)");
      case IniLine::Kind::kBlank:
      case IniLine::Kind::kComment:
        return;
    }
  }

  std::vector<Warning> Take() { return warnings_.Take(); }

 private:
  enum class Where { kNoSection, kVersion, kSettings, kRepeated, kOther };

  void Warn(const IniLine& line, const std::string& text) { warnings_.Add(line.number, text); }

  void Section(const IniLine& line) {
    const std::string name = Lowered(line.name);
    const bool known = SameName(name, kVersionSection) || SameName(name, kSettingsSection);
    const auto seen = sections_.find(name);
    if (seen != sections_.end()) {
      where_ = Where::kRepeated;
      if (known) {
        Warn(line, "section [" + line.name + "] repeats the one on line " +
                       std::to_string(seen->second) + "; only the first is read");
      }
      return;
    }
    if (sections_.size() < kKeptSections || known) sections_.emplace(name, line.number);
    where_ = SameName(name, kVersionSection)    ? Where::kVersion
             : SameName(name, kSettingsSection) ? Where::kSettings
                                                : Where::kOther;
    if (known) return;
    const std::string near = NearestName(line.name, {kVersionSection, kSettingsSection});
    if (!near.empty()) {
      Warn(line, "section [" + line.name + "] is not read; did you mean [" + near + "]?");
    }
  }

  void Entry(const IniLine& line) {
    const SettingKey* installationKey = InstallationKey(line.name);
    const bool versionKey = SameName(line.name, kVersionKey);
    if (where_ == Where::kRepeated) return;
    if (where_ == Where::kNoSection || where_ == Where::kOther) {
      if (installationKey != nullptr || versionKey) {
        Warn(line, line.name + " is not read here; it belongs in section [" +
                       std::string(versionKey ? kVersionSection : kSettingsSection) + "]");
      }
      return;
    }
    const bool inVersion = where_ == Where::kVersion;
    if ((inVersion && installationKey != nullptr) || (!inVersion && versionKey)) {
      Warn(line, line.name + " is not read in this section; it belongs in section [" +
                     std::string(versionKey ? kVersionSection : kSettingsSection) + "]");
    } else if (installationKey == nullptr && !versionKey) {
      Unknown(line, inVersion);
    } else if (const auto first = keys_.emplace(Lowered(line.name), line.number); !first.second) {
      Warn(line, line.name + " repeats line " + std::to_string(first.first->second) +
                     "; only the first is read");
    } else {
      ValueWarnings(line, installationKey, warnings_);
    }
  }

  void Unknown(const IniLine& line, bool inVersion) {
    std::string text = "unknown key " + line.name + " in section [" +
                       std::string(inVersion ? kVersionSection : kSettingsSection) + "]";
    const std::string near = NearestName(line.name, KnownKeys());
    if (!near.empty()) text += "; did you mean " + near + "?";
    Warn(line, text);
  }

  Where where_ = Where::kNoSection;
  std::map<std::string, std::size_t> sections_;  // lowered name to its first line
  std::map<std::string, std::size_t> keys_;      // read keys, lowered, to their first line
  WarningList warnings_;
};

}  // namespace

std::string NearestName(std::string_view name, const std::vector<std::string_view>& known) {
  std::optional<std::string_view> best;
  std::size_t bestDistance = 0;
  for (std::string_view candidate : known) {
    const std::size_t distance = EditDistance(name, candidate);
    const std::size_t allowed = std::max<std::size_t>(2, candidate.size() / 4);
    if (distance <= allowed && (!best || distance < bestDistance)) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best ? std::string(*best) : std::string();
}

WarningScan ScanWarnings(std::istream& text) {
  Scan scan;
  const IniEncoding encoding =
      ScanIniLines(text, [&scan](const IniLine& line) { scan.Visit(line); });
  return {scan.Take(), encoding != IniEncoding::kBytes};
}

}  // namespace ivx::check
