// What the command learns about the process it runs in.
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "core/characters.h"

namespace ivx {

class Environment {
 public:
  virtual ~Environment() = default;
  // From here on the console interrupt signal has no effect on the command.
  virtual void IgnoreInterrupt() = 0;
  virtual std::tm LocalTimeNow() = 0;
  // The variable's value; nullopt when it is not set.
  virtual std::optional<std::string> Variable(const std::string& name) = 0;
  // The current directory as the system reports it; nullopt when it cannot be had.
  virtual std::optional<std::string> CurrentDirectory() = 0;
  // Full path of the running executable as the system reports it; nullopt when unknown.
  virtual std::optional<std::string> ExecutablePath() = 0;
  virtual bool IsAdministrator() = 0;
  // The lead bytes of the code page that every text of the command is in.
  virtual LeadByteTest CodePageLeadBytes() = 0;
};

std::unique_ptr<Environment> MakeHostEnvironment();

}  // namespace ivx
