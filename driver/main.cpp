// installvorx: unattended installation of VORX 6.1.0-00 through its installation launcher.
#include "driver/driver.h"
#include "platform/code_page.h"
#include "platform/platform.h"

namespace {

int Run(const ivx::CommandArguments& arguments) {
  ivx::HostPlatform host;
  return ivx::RunInstallation(arguments.texts, host.Get(), ivx::kHostPathStyle,
                              arguments.inexpressible);
}

}  // namespace

#ifdef _WIN32
// The arguments in UTF-16: the ANSI ones would hold look-alikes of the characters that the
// code page lacks.
int wmain(int argc, wchar_t** argv) { return Run(ivx::HostArguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Run(ivx::HostArguments(argc, argv)); }
#endif
