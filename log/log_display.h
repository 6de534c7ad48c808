// Showing the installation log on the console at the end of a run.
#pragma once

#include <cstddef>
#include <string>

#include "platform/console.h"
#include "platform/files.h"

namespace ivx {

// The start line as the log stores it: 46 characters and CR LF. It was printed before the
// launch, so the display skips it.
inline constexpr long kStartLineBytes = 47;
// The most that one display shows.
inline constexpr std::size_t kDisplayBytes = 2048;

// Prints what follows the first 47 bytes of the log, at most 2048 bytes, exactly as they
// stand. Nothing is printed when the log cannot be read; the I/O error report when it cannot
// be opened.
void ShowInstallationLog(FileSystem& files, Console& console, const std::string& path);

}  // namespace ivx
