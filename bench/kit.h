// The benchmark's kit, laid out in a temporary folder that is removed with everything in it:
//   kit/setup.exe           the no-op launcher
//   kit/setup.iss           an empty response file
//   kit/tools/installvorx   a copy of the command (it looks for setup.exe one folder up)
//   logs/                   SystemRoot: both logs go here
//   *.ini                   settings files
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace bench {

namespace fs = std::filesystem;

class Kit {
 public:
  Kit(const fs::path& installvorx, const fs::path& launcher);
  ~Kit();
  Kit(const Kit&) = delete;
  Kit& operator=(const Kit&) = delete;

  fs::path Root() const { return folder_ / "kit"; }
  fs::path Command() const { return Root() / "tools" / "installvorx"; }
  fs::path Launcher() const { return Root() / "setup.exe"; }
  fs::path Logs() const { return folder_ / "logs"; }

  // A valid settings file of about `bytes` bytes: comment lines first, so that every
  // lookup reads through them, then the version and the port.
  fs::path WriteSettings(std::size_t bytes) const;
  // Removes both logs of the runs so far.
  void ClearLogs() const;

 private:
  fs::path folder_;
};

}  // namespace bench
