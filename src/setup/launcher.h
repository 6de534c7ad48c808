// Where the installation launcher is, and the one command line that starts it.
#pragma once

#include <optional>
#include <string>

#include "core/characters.h"
#include "core/path_style.h"
#include "platform/files.h"
#include "platform/process.h"

namespace ivx {

// The parent of the command's own directory (which ends in a separator): "D:\kit\tools\"
// gives "D:\kit\". A root, or a text whose second-to-last character is already a separator,
// is its own launcher directory. The text is walked by character.
std::string LauncherDirectory(PathStyle style, const std::string& ownDirectory,
                              LeadByteTest isLead = NoLeadBytes);

// The program to start is the command line's first token, where a quotation mark can only
// group: a launcher directory whose text holds one cannot be named there, and counts as one
// without a launcher.
bool CanNameLauncherIn(const std::string& launcherDirectory);

// The launcher directory when setup.exe is found there; nullopt when it is not, when the
// directory cannot name the launcher, or when there is no own directory (the code page cannot
// express it) and so no name would reach the launcher.
std::optional<std::string> FindLauncher(FileSystem& files, PathStyle style,
                                        const std::optional<std::string>& ownDirectory,
                                        LeadByteTest isLead);

// "D\setup.exe" in quotes, then silent mode, the response file setup.iss beside the
// launcher, the launcher's own log, the clone wait, the installation log, a blank and the
// property string (empty without a settings file). Each path after a switch is quoted so that
// the launcher's C runtime gives it back intact, whatever quotation marks or backslashes it
// holds; the launcher directory must be one that CanNameLauncherIn.
std::string BuildLauncherCommandLine(const std::string& launcherDirectory,
                                     const std::string& setupLog,
                                     const std::string& installationLog,
                                     const std::string& properties);

// Starts the launcher with the command line (up to a zero byte, if one comes in it, as the
// system reads a C string) and waits for it. Returns its exit code unchanged, or 9 when it
// could not be started or waited for.
int RunSetup(ProcessRunner& runner, const std::string& commandLine);

}  // namespace ivx
