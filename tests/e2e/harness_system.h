// The harness's calls into the system that runs the tests: harness.cpp holds the POSIX ones
// (the Linux build, and the Windows build under Wine), harness_win32.cpp those of Windows
// itself.
#pragma once

#include <filesystem>
#include <string>

namespace e2e::host {

// A new empty folder below the system's temporary folder.
std::filesystem::path NewCaseFolder();

// The text converted from one character set to another, named as iconv names them ("UTF-8",
// "CP932", "UTF-16LE"). A byte that starts no character becomes U+FFFD when replace is set
// (the output must be UTF-8 then); otherwise it is an error.
std::string Convert(const std::string& text, const std::string& from, const std::string& to,
                    bool replace);

}  // namespace e2e::host
