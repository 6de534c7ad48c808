#include "bench/kit.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace bench {
namespace {

constexpr std::string_view kMinimalSettings =
    "[VORX]\r\nvorxversion=6.1.0-00\r\n[INSTALLATION_SETTINGS]\r\nVORX_PORT=8080\r\n";

fs::path MakeTemporaryFolder() {
  std::string name = (fs::temp_directory_path() / "ivx-bench.XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot create " + name);
  return name;
}

}  // namespace

Kit::Kit(const fs::path& installvorx, const fs::path& launcher)
    : folder_(fs::canonical(MakeTemporaryFolder())) {
  fs::create_directories(Root() / "tools");
  fs::create_directories(Logs());
  fs::copy_file(launcher, Launcher());
  fs::copy_file(installvorx, Command());
  std::ofstream(Root() / "setup.iss");
}

Kit::~Kit() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

fs::path Kit::WriteSettings(std::size_t bytes) const {
  fs::path path = folder_ / ("settings-" + std::to_string(bytes) + ".ini");
  std::ofstream out(path, std::ios::binary);
  const std::string comment = "; " + std::string(60, '-') + "\r\n";
  for (std::size_t written = kMinimalSettings.size(); written < bytes; written += comment.size()) {
    out << comment;
  }
  out << kMinimalSettings;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
  return path;
}

void Kit::ClearLogs() const {
  for (const fs::directory_entry& entry : fs::directory_iterator(Logs())) fs::remove(entry);
}

}  // namespace bench
