// Starting the installation launcher and waiting for it.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace ivx {

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Starts the program that the command line's first token names (no search), lets it share
  // the console, the environment and the current directory, and waits for it without a time
  // limit. Returns its exit code, or nullopt when it could not be started or waited for.
  virtual std::optional<int> Run(const std::string& commandLine) = 0;
};

std::unique_ptr<ProcessRunner> MakeHostProcessRunner();

}  // namespace ivx
