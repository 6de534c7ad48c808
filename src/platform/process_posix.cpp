#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/signals_posix.h"

namespace ivx {
namespace {

// The launcher starts as if a shell had started it: the default handling of every signal that
// the command changed for itself, and no signal blocked (a caller that blocked SIGTERM must not
// leave the launcher unkillable).
class SpawnAttributes {
 public:
  SpawnAttributes() : initialized_(posix_spawnattr_init(&attr_) == 0) {
    const sigset_t defaults = SignalsChangedForTheRun();
    sigset_t none;
    sigemptyset(&none);
    ready_ = initialized_ && posix_spawnattr_setsigdefault(&attr_, &defaults) == 0 &&
             posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
             posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK) == 0;
  }
  ~SpawnAttributes() {
    if (initialized_) posix_spawnattr_destroy(&attr_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  // nullptr when the attributes could not be set: the launcher cannot be started as it must be.
  const posix_spawnattr_t* Get() const { return ready_ ? &attr_ : nullptr; }

 private:
  posix_spawnattr_t attr_;
  bool initialized_;
  bool ready_ = false;
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
    if (attributes.Get() == nullptr) return std::nullopt;
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
