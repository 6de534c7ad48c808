#include <windows.h>

#include <vector>

#include "platform/process.h"

namespace ivx {
namespace {

class Win32ProcessRunner final : public ProcessRunner {
 public:
  // The system takes the program from the command line's first token. The launcher shares
  // the console, the environment and the current directory, and inherits no handle.
  std::optional<int> Run(const std::string& commandLine) override {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');  // CreateProcessA may write to its command line
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return std::nullopt;
    }
    if (!CloseHandle(process.hThread)) {
      CloseHandle(process.hProcess);
      return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool read = GetExitCodeProcess(process.hProcess, &exitCode) != FALSE;
    const bool closed = CloseHandle(process.hProcess) != FALSE;
    if (!read || !closed) return std::nullopt;
    return static_cast<int>(exitCode);
  }
};

}  // namespace

std::unique_ptr<ProcessRunner> MakeHostProcessRunner() {
  return std::make_unique<Win32ProcessRunner>();
}

}  // namespace ivx
