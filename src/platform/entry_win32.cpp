#include "platform/entry.h"

// The C runtime hands the command its arguments as they were typed: no wildcard expansion.
extern "C" {
int _dowildcard = 0;
}

// The arguments in UTF-16 (the command is linked with -municode): the ANSI ones would hold
// look-alikes of the characters that the code page lacks.
int wmain(int argc, wchar_t** argv) {
  ivx::HostPlatform host;
  return ivx::CommandMain(ivx::HostArguments(argc, argv), host.Get());
}
