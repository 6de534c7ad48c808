// What the display of the installation log holds at the end of a run.
#pragma once

#include <cstddef>
#include <string>

#include "core/messages.h"
#include "platform/files.h"

namespace ivx {

// The start line as the log stores it: the start message written in text mode, its LF stored
// as CR LF. It was printed before the launch, so the display skips it.
inline constexpr long kStartLineBytes = static_cast<long>(msg::kStart.size()) + 1;
// The most that one display shows.
inline constexpr std::size_t kDisplayBytes = 2048;

// What follows the start line in the log, at most 2048 bytes, exactly as they stand; nothing
// when the log cannot be read; the I/O error report when it cannot be opened.
std::string ShowInstallationLog(FileSystem& files, const std::string& path);

}  // namespace ivx
