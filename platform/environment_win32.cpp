#include <windows.h>

#include <shlobj.h>

#include <csignal>
#include <cstdlib>

#include "platform/environment.h"

namespace ivx {
namespace {

bool IsCodePageLeadByte(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE; }

// Calls fill(buffer, size), which returns the length it needs or wrote, with a growing
// buffer until the text fits.
template <typename Fill>
std::optional<std::string> GrowingText(Fill fill) {
  std::string buffer(MAX_PATH, '\0');
  for (int attempt = 0; attempt < 16; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(buffer.size() * 2 > length ? buffer.size() * 2 : length + 1, '\0');
  }
  return std::nullopt;
}

class Win32Environment final : public Environment {
 public:
  // Ignoring the interrupt signal cannot fail.
  void IgnoreInterrupt() override { (void)std::signal(SIGINT, SIG_IGN); }

  std::tm LocalTimeNow() override {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? *local : std::tm{};
  }

  std::optional<std::string> Variable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }

  std::optional<std::string> CurrentDirectory() override {
    return GrowingText([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
  }

  std::optional<std::string> ExecutablePath() override {
    return GrowingText(
        [](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); });
  }

  bool IsAdministrator() override { return IsUserAnAdmin() != FALSE; }

  LeadByteTest CodePageLeadBytes() override { return IsCodePageLeadByte; }
};

}  // namespace

std::unique_ptr<Environment> MakeHostEnvironment() { return std::make_unique<Win32Environment>(); }

}  // namespace ivx
