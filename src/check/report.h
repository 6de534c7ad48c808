// The report of one checked file, as text for a reader or as JSON for a program.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "check/file_check.h"

namespace ivx::check {

// Converts a text of the system's code page to UTF-8.
using ToUtf8 = std::function<std::string(const std::string&)>;

// Every invalid definition: the version first when it is refused, then the installation
// settings in the order they are read.
std::vector<InvalidDefinition> Problems(const FileReport& report);

// Converts a UTF-8 text to the system's code page.
using FromUtf8 = std::function<std::string(const std::string&)>;

// "FILE: accepted" or "FILE: refused", then indented lines: the refusal, each problem, the
// property string and what the launcher receives for each key, each property as the installer
// engine receives it, each warning with its line. Everything is in the system's code page;
// fromUtf8 converts the warnings about a UTF-8 file.
std::string TextReport(const FileReport& report, const FromUtf8& fromUtf8);

// One JSON object on one line with the fields file, accepted, message, problems, warnings,
// property_string, launcher_argument and properties (key -> value as the engine receives it;
// null when refused).
std::string JsonReport(const FileReport& report, const ToUtf8& toUtf8);

}  // namespace ivx::check
