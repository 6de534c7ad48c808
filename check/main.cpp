// installvorx-check: proves VORX settings files before a rollout, as installvorx reads them.
#include "check/check.h"
#include "platform/code_page.h"
#include "platform/platform.h"

namespace {

int Run(const ivx::CommandArguments& arguments) {
  ivx::HostPlatform host;
  return ivx::check::RunCheck(arguments.texts, host.Get(), ivx::kHostPathStyle,
                              arguments.inexpressible);
}

}  // namespace

#ifdef _WIN32
// The arguments in UTF-16, as installvorx takes them: the ANSI ones would hold look-alikes of
// the characters that the code page lacks.
int wmain(int argc, wchar_t** argv) { return Run(ivx::HostArguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Run(ivx::HostArguments(argc, argv)); }
#endif
