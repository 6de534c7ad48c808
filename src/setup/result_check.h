// Reading the launcher's result from its setup log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace ivx {

// Only the start of the setup log is examined.
inline constexpr std::size_t kSetupLogExamined = 1024;

// True when a line of the text (up to its first zero byte) has the key "ResultCode" and the
// value "0", trailing white space aside. Lines end at an LF; a CR right before it is part of
// the line end.
bool SetupLogReportsSuccess(std::string_view text);

struct SetupResult {
  // False when the setup log could not be opened or read: the run then ends with status 9.
  bool read = true;
  // What the installation log must record: the failure message when the setup log shows no
  // success, or why it could not be read; empty on success.
  std::string entry;
};

// Reads the first 1024 bytes of the setup log and judges them.
SetupResult CheckSetupResult(FileSystem& files, const std::string& setupLog);

}  // namespace ivx
