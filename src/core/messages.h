// Every text the command prints or records, exactly as administrators and their scripts see
// them.
#pragma once

#include <string>
#include <string_view>

#include "core/version.h"

namespace ivx::msg {

inline constexpr std::string_view kProductVersion = IVX_VERSION_TEXT;

inline constexpr std::string_view kInternalError = "QEDN40097-E An internal error occurred.\n";
inline constexpr std::string_view kStart = "QEDN40110-I VORX installation will now start.\n";
inline constexpr std::string_view kInvalidOption = "QEDN40120-W The specified option is invalid.\n";
inline constexpr std::string_view kSettingsFileMissing =
    "QEDN40121-W The installation information settings file does not exist.\n";
inline constexpr std::string_view kLauncherMissing =
    "QEDN40124-W The setup.exe file does not exist.\n";
inline constexpr std::string_view kNotAdministrator =
    "QEDN40127-E The command was executed by a user other than the administrator.\n";
inline constexpr std::string_view kQuestion =
    "Are you sure to execute the install command? (Y/N)\n";
inline constexpr std::string_view kUsage = "Usage: installvorx [/f \"file_path\"] [/s]\n";

// QEDN40112-W, naming the product version.
std::string InstallationFailed();
// QEDN40122-W, naming the supported version (never the one read).
std::string UnsupportedVersion();
// QEDN40123-W; definition is the key, "=" and the value exactly as read.
std::string InvalidDefinition(std::string_view definition);
// QEDN40126-W for the file whose operation failed, with the errno it left and its text.
std::string IoError(std::string_view path, int error);

}  // namespace ivx::msg
