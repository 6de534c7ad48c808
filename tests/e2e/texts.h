// What the command prints and records, and the lines settings files start with, as the
// end-to-end tests expect them.
#pragma once

#include <string>

namespace e2e {

inline const std::string kStart = "QEDN40110-I VORX installation will now start.\n";
// The start line as the log stores it: 46 characters and CR LF.
inline const std::string kStartLine = "QEDN40110-I VORX installation will now start.\r\n";
inline const std::string kQuestion = "Are you sure to execute the install command? (Y/N)\n";
inline const std::string kInvalid =
    "QEDN40120-W The specified option is invalid.\n"
    "Usage: installvorx [/f \"file_path\"] [/s]\n";
inline const std::string kInternal = "QEDN40097-E An internal error occurred.\n";
inline const std::string kFailed =
    "QEDN40112-W An attempt to install VORX version 6.1.0-00 has failed.\n";
inline const std::string kRefusal =
    "QEDN40127-E The command was executed by a user other than the administrator.\n";
inline const std::string kLauncherMissing = "QEDN40124-W The setup.exe file does not exist.\n";
inline const std::string kMissing =
    "QEDN40121-W The installation information settings file does not exist.\n";
inline const std::string kUnsupported =
    "QEDN40122-W An installation information settings file of an unsupported product version "
    "is specified. (vorxversion=6.1.0-00)\n";

// QEDN40123-W naming the definition, the key, "=" and the value as read.
inline std::string InvalidDefinition(const std::string& definition) {
  return "QEDN40123-W A definition in the installation information settings file is invalid. (" +
         definition + ")\n";
}

inline const std::string kVersion = "[VORX]\r\nvorxversion=6.1.0-00\r\n";
inline const std::string kSettings = "[INSTALLATION_SETTINGS]\r\n";

}  // namespace e2e
