// A demonstration installation launcher. It takes the arguments a real launcher takes,
// reports what it would install, writes a setup log that reports success, and exits with 0.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "core/version.h"

namespace {

struct LauncherArgs {
  bool silent = false;
  std::string responseFile;  // /f1
  std::string setupLog;      // /f2
  std::string installLog;    // /z
  std::string properties;    // /v
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

LauncherArgs Parse(int argc, char** argv) {
  LauncherArgs args;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "/s")
      args.silent = true;
    else if (StartsWith(arg, "/f1"))
      args.responseFile = arg.substr(3);
    else if (StartsWith(arg, "/f2"))
      args.setupLog = arg.substr(3);
    else if (StartsWith(arg, "/z"))
      args.installLog = arg.substr(2);
    else if (StartsWith(arg, "/v"))
      args.properties = arg.substr(2);
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  const LauncherArgs args = Parse(argc, argv);
  std::printf("[demo launcher] %s %s, %s mode\n", IVX_PRODUCT_NAME, IVX_VERSION_TEXT,
              args.silent ? "silent" : "interactive");
  std::printf("[demo launcher]   response file:     %s\n", args.responseFile.c_str());
  std::printf("[demo launcher]   setup log:         %s\n", args.setupLog.c_str());
  std::printf("[demo launcher]   installation log:  %s\n", args.installLog.c_str());
  std::printf("[demo launcher]   properties:        %s\n",
              args.properties.empty() ? "(none)" : args.properties.c_str());
  std::printf("[demo launcher] nothing was installed: this launcher only shows its input\n");
  (void)std::fflush(stdout);
  std::ofstream log(args.setupLog, std::ios::binary);
  log << "[ResponseResult]\r\nResultCode=0\r\n";
  return log ? 0 : 1;
}
