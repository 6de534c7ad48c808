// What the command learns about the process it runs in.
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "core/characters.h"

namespace ivx {

// A path the system reports, in the system's ANSI code page.
struct SystemPath {
  std::optional<std::string> text;  // nullopt: the system cannot tell it, or see below
  // Windows: a character of the path has no exact counterpart in the code page. No text
  // stands for it then: a look-alike in its place would name another file.
  bool inexpressible = false;
};

class Environment {
 public:
  virtual ~Environment() = default;
  // From here on the console's keyboard interrupts have no effect on the command (Windows:
  // Ctrl+C and Ctrl+Break; POSIX: SIGINT and SIGQUIT), while the launcher keeps the default
  // handling of both. The POSIX build sets the handling of the other signals that the run
  // needs at the same moment.
  virtual void IgnoreInterrupt() = 0;
  virtual std::tm LocalTimeNow() = 0;
  // The variable's value; nullopt when it is not set.
  virtual std::optional<std::string> Variable(const std::string& name) = 0;
  // The current directory as the system reports it.
  virtual SystemPath CurrentDirectory() = 0;
  // Full path of the running executable's own file, links on the way to it resolved (Linux:
  // /proc/self/exe; Windows: the final path of the module's file, or the module's file name
  // where that is no drive or share path).
  virtual SystemPath ExecutablePath() = 0;
  // The absolute path of the folder that a path names, as the system resolves it (links and
  // "." and ".." components); nullopt when the system cannot resolve it.
  virtual std::optional<std::string> RealFolder(const std::string& path) = 0;
  virtual bool IsAdministrator() = 0;
  // The lead bytes of the code page that every text of the command is in.
  virtual LeadByteTest CodePageLeadBytes() = 0;
};

std::unique_ptr<Environment> MakeHostEnvironment();

}  // namespace ivx
