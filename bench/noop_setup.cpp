// The benchmark's installation launcher: it does only what the command relies on. It writes
// the setup log named after /f2 ("ResultCode=0" CR LF, then filler lines up to
// IVX_BENCH_SETUP_LOG_BYTES bytes when that is set), appends IVX_BENCH_APPEND_BYTES bytes of
// filler to the installation log named after /z when that is set, and exits with 0.
// C stdio only, so that its own start costs as little as possible.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* ArgumentAfter(int argc, char** argv, const char* prefix) {
  const std::size_t length = std::strlen(prefix);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix, length) == 0) return argv[i] + length;
  }
  return nullptr;
}

std::size_t BytesFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? 0 : std::strtoull(value, nullptr, 10);
}

// Lines of 62 "x" and CR LF, the last one cut to fit, written a line at a time so that the
// launcher's memory does not grow with the size.
bool WriteFiller(std::FILE* file, std::size_t bytes) {
  const std::string line = std::string(62, 'x') + "\r\n";
  for (std::size_t left = bytes; left > 0;) {
    const std::size_t now = left < line.size() ? left : line.size();
    if (std::fwrite(line.data(), 1, now, file) != now) return false;
    left -= now;
  }
  return true;
}

bool WriteFile(const char* path, const char* mode, const char* start, std::size_t bytes) {
  std::FILE* file = std::fopen(path, mode);
  if (file == nullptr) return false;
  const std::size_t startBytes = std::strlen(start);
  bool ok = std::fwrite(start, 1, startBytes, file) == startBytes;
  ok = ok && WriteFiller(file, bytes > startBytes ? bytes - startBytes : 0);
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* setupLog = ArgumentAfter(argc, argv, "/f2");
  const char* installationLog = ArgumentAfter(argc, argv, "/z");
  if (setupLog == nullptr || installationLog == nullptr) return 1;
  const std::size_t append = BytesFromEnvironment("IVX_BENCH_APPEND_BYTES");
  if (append > 0 && !WriteFile(installationLog, "ab", "", append)) return 1;
  const std::size_t setupBytes = BytesFromEnvironment("IVX_BENCH_SETUP_LOG_BYTES");
  return WriteFile(setupLog, "wb", "ResultCode=0\r\n", setupBytes) ? 0 : 1;
}
