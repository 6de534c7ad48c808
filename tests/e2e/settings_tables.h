// The settings files of the installation's tables (settings_test.cpp, faults_test.cpp), which
// the agreement table of check_test.cpp also runs through installvorx-check.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// A file that the installation accepts.
struct FileCase {
  const char* name;
  std::string text;
  std::string lastArgument;  // what the launcher's C runtime makes of the property string
};

// A file that the installation refuses.
struct RejectedCase {
  const char* name;
  std::string text;
  std::string message;
};

// A file that hostile input made: accepted (status 0) or refused (2).
struct BadFileCase {
  const char* name;
  std::string text;
  int status;
  std::string output;
  std::string lastArgument;  // when the launcher runs
};

inline void PrintTo(const FileCase& c, std::ostream* out) { *out << c.name; }
inline void PrintTo(const RejectedCase& c, std::ostream* out) { *out << c.name; }
inline void PrintTo(const BadFileCase& c, std::ostream* out) { *out << c.name; }

std::vector<FileCase> AcceptedFiles();
std::vector<RejectedCase> RejectedVersions();
std::vector<RejectedCase> RejectedDefinitions();
std::vector<BadFileCase> BadFiles();
// Settings of two keys, VORX_PORT=8080 at the start and VORX_RUNSERVICE=true at the end of
// 64 MiB of comments.
std::string SettingsFileOf64MiB();
// A settings file whose name, joined to the current folder that the options get, is longer
// than the platform allows in a path; returns the name.
std::string NameTooLongInItsFolder(const Case& kit, RunOptions& options);

}  // namespace e2e
