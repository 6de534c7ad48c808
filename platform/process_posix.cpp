#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

#include "platform/command_line.h"
#include "platform/process.h"

namespace ivx {
namespace {

// The command ignores the interrupt signal; the launcher gets the default handling back.
class SpawnAttributes {
 public:
  SpawnAttributes() {
    posix_spawnattr_init(&attr_);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attr_, &defaults);
    posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attr_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  const posix_spawnattr_t* Get() const { return &attr_; }

 private:
  posix_spawnattr_t attr_;
};

std::optional<int> WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return std::nullopt;
}

class PosixProcessRunner final : public ProcessRunner {
 public:
  // The command line is split as the Windows C runtime would split it, and its first
  // argument started as it stands: no search along PATH.
  std::optional<int> Run(const std::string& commandLine) override {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty() || args[0].empty()) return std::nullopt;
    std::vector<char*> argv(args.size() + 1, nullptr);
    std::transform(args.begin(), args.end(), argv.begin(),
                   [](std::string& arg) { return arg.data(); });
    const SpawnAttributes attributes;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, attributes.Get(), argv.data(), environ) != 0) {
      return std::nullopt;
    }
    return WaitForExit(pid);
  }
};

}  // namespace

std::unique_ptr<ProcessRunner> MakeHostProcessRunner() {
  return std::make_unique<PosixProcessRunner>();
}

}  // namespace ivx
