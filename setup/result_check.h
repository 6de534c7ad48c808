// Reading the launcher's result from its setup log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "log/installation_log.h"
#include "platform/files.h"

namespace ivx {

// Only the start of the setup log is examined.
inline constexpr std::size_t kSetupLogExamined = 1024;

// True when a line of the text (up to its first zero byte) has the key "ResultCode" and the
// value "0", trailing white space aside. Lines end at an LF; a CR right before it is part of
// the line end.
bool SetupLogReportsSuccess(std::string_view text);

// Scans the setup log and records the failure message in the installation log when it shows
// no success. Returns false when the setup log cannot be opened or read: the reason is then
// recorded instead, and the run ends.
bool CheckSetupResult(FileSystem& files, const std::string& setupLog, InstallationLog& log);

}  // namespace ivx
