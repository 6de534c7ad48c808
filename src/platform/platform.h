// Everything the command asks of the system, handed to the driver as one value.
#pragma once

#include <memory>

#include "platform/console.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/process.h"

namespace ivx {

struct Platform {
  Console& console;
  Environment& environment;
  FileSystem& files;
  ProcessRunner& runner;
};

// The real system of this build, owning its parts.
class HostPlatform {
 public:
  HostPlatform();
  Platform& Get() { return platform_; }

 private:
  std::unique_ptr<Console> console_;
  std::unique_ptr<Environment> environment_;
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<ProcessRunner> runner_;
  Platform platform_;
};

}  // namespace ivx
