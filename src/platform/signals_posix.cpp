#include "platform/signals_posix.h"

#include <array>

namespace ivx {
namespace {

struct Handling {
  int signal;
  void (*handler)(int);
};

// SIGINT and SIGQUIT are a terminal's two keyboard interrupts (Ctrl+C, Ctrl+\\), as Ctrl+C and
// Ctrl+Break are a Windows console's: the command ignores both.
const std::array<Handling, 5> kRunHandling = {{
    {SIGINT, SIG_IGN},
    {SIGQUIT, SIG_IGN},
    {SIGCHLD, SIG_DFL},
    {SIGPIPE, SIG_IGN},
    {SIGXFSZ, SIG_IGN},
}};

}  // namespace

void SetSignalHandlingForTheRun() {
  // Setting a valid signal to SIG_IGN or SIG_DFL cannot fail.
  for (const Handling& handling : kRunHandling)
    (void)std::signal(handling.signal, handling.handler);
}

sigset_t SignalsChangedForTheRun() {
  sigset_t changed;
  sigemptyset(&changed);
  for (const Handling& handling : kRunHandling) sigaddset(&changed, handling.signal);
  return changed;
}

}  // namespace ivx
