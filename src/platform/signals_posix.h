// The signal handling of the POSIX build, kept in one place: what the command sets for itself
// when its run starts, and which signals the launcher gets the default handling of back.
#pragma once

#include <csignal>

namespace ivx {

// Ignores the keyboard's interrupt signals (SIGINT, and SIGQUIT as Windows' Ctrl+Break), as the
// command does on every build, and sets right what a
// caller may have handed down that would break the run: SIGCHLD ignored (the launcher's status
// could never be collected), SIGPIPE or SIGXFSZ at their default (a console whose reader has
// gone, or a log at the file size limit, would kill the command half way; ignored, the write
// fails instead: a console write's failure is ignored as on Windows, a log write's reported).
void SetSignalHandlingForTheRun();

// Every signal whose handling SetSignalHandlingForTheRun changes.
sigset_t SignalsChangedForTheRun();

}  // namespace ivx
