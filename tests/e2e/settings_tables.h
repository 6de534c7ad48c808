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

// How an editor saved a settings file: "Unicode" (UTF-16 with its byte-order mark), UTF-16
// big-endian with its mark, UTF-8 with or without the mark, or in code page 1252.
enum class Saved { kUnicode, kUnicodeBigEndian, kUtf8WithMark, kUtf8, kCodePage };

// A settings file saved one of these ways, read by the Windows build in code page 1252 or in
// UTF-8 as the code page (65001).
struct SavedFileCase {
  const char* name;
  Saved saved;
  std::string setting;  // a line of the installation settings, in UTF-8
  // Accepted: what the launcher receives for the settings (in UTF-8). Refused: the value that
  // the refusal names, as the command prints it.
  std::string outcome;
  bool accepted;
  int codePage = 1252;
};

inline void PrintTo(const SavedFileCase& c, std::ostream* out) { *out << c.name; }

std::vector<FileCase> AcceptedFiles();
std::vector<RejectedCase> RejectedVersions();
std::vector<RejectedCase> RejectedDefinitions();
std::vector<BadFileCase> BadFiles();
std::vector<SavedFileCase> SavedFiles();
// The UTF-8 text saved that way.
std::string SavedAs(Saved saved, const std::string& utf8);
// Settings of two keys, VORX_PORT=8080 at the start and VORX_RUNSERVICE=true at the end of
// 64 MiB of comments.
std::string SettingsFileOf64MiB();
// A settings file whose name, joined to the current folder that the options get, is longer
// than the platform allows in a path; returns the name.
std::string NameTooLongInItsFolder(const Case& kit, RunOptions& options);

}  // namespace e2e
