// The harness on Windows itself: the commands are started with Windows' own calls, with no
// Wine between, and the case folder becomes a drive of this logon session.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <stdexcept>

#include "core/quoting.h"
#include "harness.h"
#include "harness_system.h"

namespace e2e {
namespace {

// A handle closed when it goes out of scope; null and INVALID_HANDLE_VALUE hold nothing.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::wstring Wide(const std::string& text, UINT codePage, DWORD flags) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length == 0) throw std::runtime_error("not in code page " + std::to_string(codePage));
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
  return wide;
}

// The tests hold their arguments and paths in UTF-8, as Wine takes them from Linux.
std::wstring FromUtf8(const std::string& text) { return Wide(text, CP_UTF8, 0); }

std::string Narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  BOOL lost = FALSE;
  // A code page other than UTF-8 must not put a look-alike in place of a character it lacks.
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* lostAt = codePage == CP_UTF8 ? nullptr : &lost;
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lostAt);
  if (length == 0 || lost) throw std::runtime_error("not in code page " + std::to_string(codePage));
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

bool IsUtf16(const std::string& charset) { return charset == "UTF-16LE" || charset == "UTF-16BE"; }

UINT CodePageOf(const std::string& charset) {
  if (charset == "UTF-8") return CP_UTF8;
  if (charset.rfind("CP", 0) == 0) return static_cast<UINT>(std::stoul(charset.substr(2)));
  throw std::runtime_error("no code page for " + charset);
}

std::wstring FromUtf16(const std::string& bytes, bool bigEndian) {
  std::wstring wide;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const auto high = static_cast<unsigned char>(bytes[bigEndian ? at : at + 1]);
    const auto low = static_cast<unsigned char>(bytes[bigEndian ? at + 1 : at]);
    wide.push_back(static_cast<wchar_t>(high << 8 | low));
  }
  return wide;
}

std::string ToUtf16(const std::wstring& wide, bool bigEndian) {
  std::string bytes;
  for (const wchar_t unit : wide) {
    const char high = static_cast<char>(unit >> 8 & 0xFF);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// A replaced text is read as UTF-8 or in the code page: each byte that starts no character
// there becomes U+FFFD (the conversion's own replacement).
std::wstring Decode(const std::string& text, const std::string& charset, bool replace) {
  if (IsUtf16(charset)) return FromUtf16(text, charset == "UTF-16BE");
  return Wide(text, CodePageOf(charset), replace ? 0 : MB_ERR_INVALID_CHARS);
}

std::string Encode(const std::wstring& wide, const std::string& charset) {
  if (IsUtf16(charset)) return ToUtf16(wide, charset == "UTF-16BE");
  return Narrow(wide, CodePageOf(charset));
}

// The command line whose C runtime splitting gives the arguments back (the commands' own
// quoting rules; UTF-8 puts no backslash or quotation mark inside a character).
std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& arg : argv) {
    if (!line.empty()) line += ' ';
    const bool plain = !arg.empty() && arg.find_first_of(" \t\"") == std::string::npos;
    line += plain ? arg : "\"" + ivx::CloseQuotes(ivx::EscapeQuotationMarks(arg));
  }
  return FromUtf8(line);
}

bool IsVariable(const wchar_t* entry, const std::wstring& name) {
  for (const wchar_t c : name) {
    if (std::towupper(*entry++) != std::towupper(c)) return false;
  }
  return *entry == L'=';
}

// The tests' own environment with SystemRoot as the run has it (absent: unset).
std::wstring Environment(const std::optional<std::string>& systemRoot) {
  std::wstring block;
  wchar_t* const strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    if (!IsVariable(entry, L"SystemRoot")) block.append(entry).push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  if (systemRoot) block.append(L"SystemRoot=" + FromUtf8(*systemRoot)).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

HANDLE Inheritable(const fs::path& file, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  const HANDLE handle = CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + file.string());
  return handle;
}

std::wstring DriveName(char letter) { return {static_cast<wchar_t>(std::toupper(letter)), L':'}; }

char DriveLetter() {
  const char* drive = std::getenv("IVX_E2E_DRIVE");
  return drive != nullptr && *drive != '\0' ? *drive : 'k';
}

}  // namespace

// The system's ANSI code page, and 65001, which the test copies of the commands choose.
bool RunsInCodePage(int codePage) {
  return codePage == 0 || codePage == 65001 || codePage == static_cast<int>(GetACP());
}

namespace host {

fs::path NewCaseFolder() {
  static std::atomic<unsigned> count{0};
  const std::string stem = "ivx-e2e-" + std::to_string(GetCurrentProcessId()) + "-";
  for (;;) {
    const fs::path folder = fs::temp_directory_path() / (stem + std::to_string(++count));
    if (fs::create_directory(folder)) return folder;
  }
}

std::string Convert(const std::string& text, const std::string& from, const std::string& to,
                    bool replace) {
  return Encode(Decode(text, from, replace), to);
}

}  // namespace host

// The case folder becomes a drive of its own, so that the logs, which go to the root of
// the drive of SystemRoot, land in it; the case takes its definition away again.
void Case::MapDrive() const {
  if (!DefineDosDeviceW(0, DriveName(DriveLetter()).c_str(), root_.c_str()))
    throw std::runtime_error("cannot map drive " + std::string(1, DriveLetter()));
}

void Case::UnmapDrive() const {
  DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                   DriveName(DriveLetter()).c_str(), root_.c_str());
}

RunResult Case::Spawn(std::vector<std::string> argv, const RunOptions& options) {
  if (!options.wrapper.empty() || options.brokenOutput || options.interruptAfter)
    throw std::runtime_error("a wrapper, a broken output and a signal are POSIX cases");
  std::optional<std::string> systemRoot = options.systemRoot;
  if (!systemRoot && !options.unsetSystemRoot) systemRoot = Seen(root_) + "windows";
  const fs::path input = root_ / ".stdin";
  const fs::path output = root_ / ".stdout";
  const fs::path errors = root_ / ".stderr";
  if (options.input) WriteFile(input, *options.input);
  RunResult result;
  {
    const Handle in(options.closeInput ? nullptr
                                       : Inheritable(options.input ? input : fs::path("NUL"),
                                                     GENERIC_READ, OPEN_EXISTING));
    const Handle out(Inheritable(output, GENERIC_WRITE, CREATE_ALWAYS));
    const Handle err(Inheritable(errors, GENERIC_WRITE, CREATE_ALWAYS));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring commandLine = CommandLine(argv);
    std::wstring environment = Environment(systemRoot);
    const fs::path cwd = options.workingDirectory.value_or(root_);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), cwd.c_str(), &startup,
                        &started)) {
      throw std::runtime_error("cannot start " + argv[0] + ": error " +
                               std::to_string(GetLastError()));
    }
    const Handle process(started.hProcess);
    CloseHandle(started.hThread);
    const DWORD waited = static_cast<DWORD>(options.timeoutSeconds) * 1000;
    if (WaitForSingleObject(process.get(), waited) == WAIT_TIMEOUT) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), INFINITE);
      ADD_FAILURE() << "the command did not end within " << options.timeoutSeconds << " seconds";
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    result.status = static_cast<int>(code);
  }
  result.output = ReadFile(output);
  result.errors = ReadFile(errors);
  for (std::size_t at = result.output.find("\r\n"); at != std::string::npos;
       at = result.output.find("\r\n", at)) {
    result.output.erase(at, 1);
  }
  std::error_code ignored;
  fs::remove(input, ignored);
  fs::remove(output, ignored);
  fs::remove(errors, ignored);
  return result;
}

}  // namespace e2e
