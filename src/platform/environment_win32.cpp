#include <windows.h>

#include <shlobj.h>

#include <cstdlib>

#include "core/paths.h"
#include "platform/code_page.h"
#include "platform/console_events_win32.h"
#include "platform/environment.h"

namespace ivx {
namespace {

// Calls fill(buffer, size), which returns the length it needs or wrote, with a growing
// buffer until the text fits.
template <typename Fill>
std::optional<std::wstring> GrowingText(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 16; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(buffer.size() * 2 > length ? buffer.size() * 2 : length + 1, L'\0');
  }
  return std::nullopt;
}

// The system's UTF-16 path in the code page, unless a character of it has no exact
// counterpart there: the ANSI calls would put a look-alike in its place, naming another
// file, perhaps one that anybody could plant.
SystemPath InCodePage(const std::optional<std::wstring>& path) {
  if (!path) return {};
  Conversion converted = ToCodePage(*path);
  if (!converted.exact) return {std::nullopt, true};
  return {std::move(converted.text)};
}

// The path of the file itself, whatever link or junction the system loaded it through;
// nullopt when the system cannot tell it.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::wstring> final = GrowingText([file](wchar_t* buffer, DWORD size) {
    return GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  });
  CloseHandle(file);
  return final;
}

// The real file's path, as Linux's /proc/self/exe gives it, so that a kit reached through a
// link finds the launcher beside the real command. The module path stands where the real one
// cannot be had or is no drive or share path.
SystemPath RealExecutablePath(const std::optional<std::wstring>& module) {
  if (!module) return {};
  const std::optional<std::wstring> final = FinalPath(*module);
  if (final) {
    SystemPath real = InCodePage(final);
    if (real.inexpressible) return real;
    if (std::optional<std::string> path = DriveOrSharePath(*real.text)) return {std::move(path)};
  }
  return InCodePage(module);
}

class Win32Environment final : public Environment {
 public:
  // Adding a handler fails only when memory is exhausted; the run goes on as it would anyway.
  void IgnoreInterrupt() override { (void)SetConsoleCtrlHandler(IgnoreKeyboardInterrupts, TRUE); }

  std::tm LocalTimeNow() override {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? *local : std::tm{};
  }

  // In UTF-16, converted without look-alikes: a character that the code page lacks stays the
  // default character "?", which names no file.
  std::optional<std::string> Variable(const std::string& name) override {
    const wchar_t* value = _wgetenv(FromCodePage(name).c_str());
    if (value == nullptr) return std::nullopt;
    return ToCodePage(value).text;
  }

  SystemPath CurrentDirectory() override {
    return InCodePage(GrowingText(
        [](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }));
  }

  SystemPath ExecutablePath() override {
    return RealExecutablePath(GrowingText(
        [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); }));
  }

  // Windows folds "." and ".." by the text; an absolute path's result holds only its own
  // characters, so it converts back exactly.
  std::optional<std::string> RealFolder(const std::string& path) override {
    const std::wstring wide = FromCodePage(path);
    if (wide.empty()) return std::nullopt;
    return InCodePage(GrowingText([&wide](wchar_t* buffer, DWORD size) {
             return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
           }))
        .text;
  }

  bool IsAdministrator() override { return IsUserAnAdmin() != FALSE; }

  LeadByteTest CodePageLeadBytes() override { return IsCodePageLeadByte; }
};

}  // namespace

// Both keyboard interrupts of a console: the C runtime's default for Ctrl+Break (SIGBREAK)
// would end the command in the middle of the installation, with no verdict in its log. The
// console closed, a logoff or a shutdown cannot be refused: the system ends the process
// whatever a handler returns. A handler is not inherited: the launcher has the system's
// default handling of both keys.
BOOL WINAPI IgnoreKeyboardInterrupts(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

std::unique_ptr<Environment> MakeHostEnvironment() { return std::make_unique<Win32Environment>(); }

}  // namespace ivx
