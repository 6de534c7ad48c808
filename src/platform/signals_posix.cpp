#include "platform/signals_posix.h"

#include <array>

namespace ivx {
namespace {

struct Handling {
  int signal;
  void (*handler)(int);
};

const std::array<Handling, 4> kRunHandling = {{
    {SIGINT, SIG_IGN},
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
