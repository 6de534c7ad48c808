// The console control handler that the Windows build registers for the whole run.
#pragma once

namespace ivx {

// Nonzero (handled: nothing else happens) for the keyboard's interrupts, Ctrl+C (0) and
// Ctrl+Break (1); zero for every other event (2: the console closed, 5: a logoff, 6: a
// shutdown), which goes on to the system's default: the process ends.
int __stdcall IgnoreKeyboardInterrupts(unsigned long event);

}  // namespace ivx
