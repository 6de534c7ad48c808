#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/environment.h"
#include "platform/signals_posix.h"

namespace ivx {
namespace {

// Calls fill(buffer, size) with a growing buffer until the text fits.
template <typename Fill>
std::optional<std::string> GrowingText(Fill fill) {
  for (std::size_t size = 256; size <= (std::size_t{1} << 20); size *= 2) {
    std::string buffer(size, '\0');
    const long length = fill(buffer.data(), size);
    if (length < 0 && errno != ERANGE) return std::nullopt;
    if (length >= 0 && static_cast<std::size_t>(length) < size) {
      buffer.resize(static_cast<std::size_t>(length));
      return buffer;
    }
  }
  return std::nullopt;
}

// A caller may start the command with standard input, output or error closed; the logs would
// then take their numbers, and a message meant for the console would land in a log.
void KeepStandardStreamsOpen() {
  for (int fd = 0; fd <= 2; ++fd) {
    // The lowest free number is fd itself; it stays open for the whole run.
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) (void)open("/dev/null", O_RDWR);
  }
}

class PosixEnvironment final : public Environment {
 public:
  PosixEnvironment() { KeepStandardStreamsOpen(); }

  // The interrupt signal and, at the same moment, every other signal that the run needs handled.
  void IgnoreInterrupt() override { SetSignalHandlingForTheRun(); }

  std::tm LocalTimeNow() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
  }

  std::optional<std::string> Variable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }

  SystemPath CurrentDirectory() override {
    return {GrowingText([](char* buffer, std::size_t size) -> long {
      return getcwd(buffer, size) == nullptr ? -1 : static_cast<long>(std::strlen(buffer));
    })};
  }

  // The executable's real location: links on the way to it are resolved.
  SystemPath ExecutablePath() override {
    return {GrowingText([](char* buffer, std::size_t size) -> long {
      errno = 0;
      return static_cast<long>(readlink("/proc/self/exe", buffer, size));
    })};
  }

  std::optional<std::string> RealFolder(const std::string& path) override {
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (real == nullptr) return std::nullopt;
    return std::string(real.get());
  }

  bool IsAdministrator() override { return geteuid() == 0; }

  // UTF-8: no byte of a multi-byte character is ASCII, so a byte rule never cuts one.
  LeadByteTest CodePageLeadBytes() override { return NoLeadBytes; }
};

}  // namespace

std::unique_ptr<Environment> MakeHostEnvironment() { return std::make_unique<PosixEnvironment>(); }

}  // namespace ivx
