#include "settings/settings_reader.h"

#include "core/ini_reader.h"
#include "core/messages.h"
#include "core/paths.h"

namespace ivx {

SettingsFile::SettingsFile(FileSystem& files, PathStyle style, const std::string& name,
                           const std::string& currentDirectory)
    : files_(&files), path_(ResolveAgainst(style, currentDirectory, name)) {}

bool SettingsFile::Exists() const { return files_->CanOpenForReading(path_); }

ProfileValue SettingsFile::GetValue(const std::string& section, const std::string& key) const {
  ProfileValue value = files_->ProfileString(path_, section, key);
  if (value.text.size() > kMaxProfileValue) value.text.resize(kMaxProfileValue);
  return value;
}
namespace {

// Why a value cannot be passed on as it was read, whatever its key's rule. A character that
// the code page lacks has no text that would not name another folder or host. UTF-8 read in a
// code page would reach the launcher changed ("Größe" as "GrÃ¶ÃŸe"); text in a code page is
// almost never valid UTF-8, so a refusal is safe where a guess is not.
std::string_view ReadFault(const ProfileValue& value) {
  if (value.replacement) {
    return "the value holds U+FFFD, the replacement for bytes that are no text in the encoding "
           "the file was read in (a file saved in an older code page, read as UTF-8); save the "
           "file as UTF-8 with a byte-order mark, or as Unicode";
  }
  if (!value.exact) {
    return "the system's code page lacks a character of the value (shown as \"?\")";
  }
  if (value.readInCodePage && IsUtf8BeyondAscii(value.text)) {
    return "the value is UTF-8 in a file without a UTF-8 byte-order mark, which Windows reads in "
           "its code page; save the file as UTF-8 with a byte-order mark, or as Unicode";
  }
  return {};
}

}  // namespace

std::string SettingsVerdict::Message() const {
  switch (refusal) {
    case Refusal::kNone:
      break;
    case Refusal::kMissingFile:
      return std::string(msg::kSettingsFileMissing);
    case Refusal::kUnsupportedVersion:
      return msg::UnsupportedVersion();
    case Refusal::kInvalidDefinition:
      return msg::InvalidDefinition(invalid.front().Text());
  }
  return {};
}

SettingsVerdict BuildPropertyString(const SettingsFile& file, LeadByteTest isLead,
                                    KeysRead keysRead) {
  SettingsVerdict verdict;
  verdict.path = file.FullPath();
  if (!file.Exists()) {
    verdict.refusal = SettingsVerdict::Refusal::kMissingFile;
    return verdict;
  }
  // A version that the code page cannot hold, or UTF-8 read in it, is never one that is
  // supported: it is not ASCII.
  verdict.version = file.GetValue(std::string(kVersionSection), std::string(kVersionKey)).text;
  if (!IsSupportedVersion(verdict.version)) {
    verdict.refusal = SettingsVerdict::Refusal::kUnsupportedVersion;
    if (keysRead == KeysRead::kUntilFirstInvalid) return verdict;
  }
  PropertyString properties = MakePropertyString(
      [&file](std::string_view key) {
        ProfileValue value = file.GetValue(std::string(kSettingsSection), std::string(key));
        const std::string_view fault = ReadFault(value);
        return ReadValue(std::move(value.text), fault);
      },
      isLead, keysRead);
  verdict.invalid = std::move(properties.invalid);
  if (!verdict.Accepted()) return verdict;
  if (!verdict.invalid.empty()) {
    verdict.refusal = SettingsVerdict::Refusal::kInvalidDefinition;
    return verdict;
  }
  verdict.propertyString = std::move(properties.text);
  verdict.pieces = std::move(properties.pieces);
  return verdict;
}

std::optional<std::string> CurrentDirectoryFor(PathStyle style, const SystemPath& current,
                                               LeadByteTest isLead) {
  if (current.inexpressible) return std::nullopt;
  return CurrentDirectoryText(style, current.text, isLead);
}

SettingsVerdict ReadSettingsFile(FileSystem& files, PathStyle style, const Argument& name,
                                 const std::optional<std::string>& currentDirectory,
                                 LeadByteTest isLead, KeysRead keysRead) {
  const bool relative = !IsAbsolutePath(style, name.text);
  if (!name.expressible || (relative && !currentDirectory)) {
    SettingsVerdict missing;
    missing.refusal = SettingsVerdict::Refusal::kMissingFile;
    return missing;
  }
  const SettingsFile file(files, style, name.text, currentDirectory.value_or(std::string()));
  return BuildPropertyString(file, isLead, keysRead);
}

}  // namespace ivx
