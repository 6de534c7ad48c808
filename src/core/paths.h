// The working paths of one run: the two log files at the root of the system drive, the
// current directory and the command's own directory.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "core/characters.h"
#include "core/path_style.h"

namespace ivx {

struct LogPaths {
  std::string installationLog;  // the command's own log
  std::string setupLog;         // the launcher's log
};

// The longest settings file name that "/f" takes.
inline constexpr std::size_t kMaxSettingsName = 255;

// True when a text can name the settings file after "/f": at most 255 characters, and not a
// text that looks like an option (on Windows any text starting with "/", on POSIX, where
// absolute paths start with "/", only "/" and one more character).
bool IsSettingsFileName(PathStyle style, std::string_view name);

// A one-byte character that separates path components (a byte of a two-byte character never
// does).
bool IsSeparator(PathStyle style, char c);
// Windows: a drive letter and colon, or a leading "\" or "/"; POSIX: a leading "/".
bool IsAbsolutePath(PathStyle style, std::string_view path);
// True when the last character of the text is a separator.
bool EndsWithSeparator(PathStyle style, std::string_view text, LeadByteTest isLead);
// The text up to and including its last separator; empty when it has none.
std::string DirectoryPart(PathStyle style, std::string_view path, LeadByteTest isLead);

// "_" and the local date and time at the start of the run: "_2026-12-07_15-24-35".
std::string TimestampSuffix(const std::tm& local);

// Where both logs go. Windows: the first three characters of SystemRoot, or "C:\" when it is
// unset or empty. POSIX: SystemRoot itself ending in "/", or "/" when it is unset or empty.
std::string LogFolder(PathStyle style, const std::optional<std::string>& systemRoot);

// Both log names carry the same suffix.
LogPaths MakeLogPaths(const std::string& folder, const std::string& suffix);

// The current directory ending in a separator (nothing else is changed); empty when the
// current directory is unknown.
std::string CurrentDirectoryText(PathStyle style, const std::optional<std::string>& current,
                                 LeadByteTest isLead = NoLeadBytes);

// The directory of the running executable, ending in a separator. When the system cannot
// tell the executable's path: the directory part of the first argument, made absolute
// against the current directory text, or without one the current directory text.
std::string OwnDirectory(PathStyle style, const std::optional<std::string>& executable,
                         const std::string& firstArgument, const std::string& currentDirectory,
                         LeadByteTest isLead = NoLeadBytes);

// Windows: a path as the system's final-path query gives it, "\\?\C:\kit\x" or
// "\\?\UNC\srv\share\x", as the drive or share path that it is ("C:\kit\x",
// "\\srv\share\x"). nullopt when the rest is no such path (a volume or device name), which
// no launcher path could be made of.
std::optional<std::string> DriveOrSharePath(std::string_view finalPath);

// A name as given, when absolute on the platform; otherwise the directory text (which ends
// in a separator) followed by the name.
std::string ResolveAgainst(PathStyle style, const std::string& directory, const std::string& name);

}  // namespace ivx
