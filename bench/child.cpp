#include "bench/child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace bench {
namespace {

[[noreturn]] void Fail(const Command& command, const char* what) {
  (void)std::fprintf(stderr, "bench: %s: %s\n", command.argv[0].c_str(), what);
  std::exit(1);
}

// Pointers into the strings, ending in a null pointer, as execve wants them.
std::vector<char*> CStrings(const std::vector<std::string>& texts) {
  std::vector<char*> pointers(texts.size() + 1, nullptr);
  std::transform(texts.begin(), texts.end(), pointers.begin(),
                 [](const std::string& text) { return const_cast<char*>(text.c_str()); });
  return pointers;
}

void RequireStatus(const Command& command, int status, int expected) {
  if (!WIFEXITED(status) || WEXITSTATUS(status) != expected) {
    Fail(command, "did not exit with the status expected");
  }
}

long HighWaterMarkKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

double CpuMs(pid_t pid) {
  std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
  double nanoseconds = -1;
  schedstat >> nanoseconds;
  return nanoseconds / 1e6;
}

// In the child: /dev/null for the standard streams, then the program, stopped by the
// tracer when it exits.
[[noreturn]] void ExecTraced(const Command& command) {
  const int null = open("/dev/null", O_RDWR);
  for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
  ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
  std::vector<char*> argv = CStrings(command.argv);
  std::vector<char*> envp = CStrings(command.environment);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

// ptrace takes options and signals in its pointer-sized data argument.
void* AsData(long value) {
  return reinterpret_cast<void*>(value);  // NOLINT(performance-no-int-to-ptr): ptrace's ABI
}

bool IsExitStop(int status) { return (status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8)); }

}  // namespace

double TimedRun(const Command& command, int expectedStatus) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  }
  std::vector<char*> argv = CStrings(command.argv);
  std::vector<char*> envp = CStrings(command.environment);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  int status = 0;
  if (spawned == 0) waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) Fail(command, "cannot be started");
  RequireStatus(command, status, expectedStatus);
  return std::chrono::duration<double, std::milli>(end - start).count();
}

OwnUsage TracedRun(const Command& command) {
  const pid_t pid = fork();
  if (pid < 0) Fail(command, "cannot fork");
  if (pid == 0) ExecTraced(command);
  int status = 0;
  waitpid(pid, &status, 0);  // stopped right after the exec
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, AsData(PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL));
  ptrace(PTRACE_CONT, pid, nullptr, nullptr);
  OwnUsage usage{-1, -1};
  while (waitpid(pid, &status, 0) == pid && WIFSTOPPED(status)) {
    int signal = WSTOPSIG(status);
    if (IsExitStop(status)) {
      usage = {HighWaterMarkKiB(pid), CpuMs(pid)};
      signal = 0;
    }
    ptrace(PTRACE_CONT, pid, nullptr, AsData(signal));  // any other signal goes on to the program
  }
  RequireStatus(command, status, 0);
  if (usage.peakKiB < 0 || usage.cpuMs < 0) Fail(command, "its usage could not be read");
  return usage;
}

}  // namespace bench
