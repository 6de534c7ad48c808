// Where the installation launcher is, and the one command line that starts it.
#pragma once

#include <string>

#include "core/characters.h"
#include "core/path_style.h"

namespace ivx {

// The parent of the command's own directory (which ends in a separator): "D:\kit\tools\"
// gives "D:\kit\". A root, or a text whose second-to-last character is already a separator,
// is its own launcher directory. The text is walked by character.
std::string LauncherDirectory(PathStyle style, const std::string& ownDirectory,
                              LeadByteTest isLead = NoLeadBytes);

// "D\setup.exe" in quotes, then silent mode, the response file setup.iss beside the
// launcher, the launcher's own log, the clone wait, the installation log, a blank and the
// property string (empty without a settings file).
std::string BuildLauncherCommandLine(const std::string& launcherDirectory,
                                     const std::string& setupLog,
                                     const std::string& installationLog,
                                     const std::string& properties);

}  // namespace ivx
