#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>

#include "core/ini_reader.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace ivx {
namespace {

// Profile values are read into a buffer of this size, which cuts them to 1023 characters.
constexpr DWORD kProfileBuffer = 1024;

int OpenFlags(FileSystem::OpenMode mode) {
  switch (mode) {
    case FileSystem::OpenMode::kCreateAppendText:
      return _O_WRONLY | _O_APPEND | _O_CREAT | _O_TEXT;
    case FileSystem::OpenMode::kAppendBinary:
      return _O_RDWR | _O_APPEND | _O_BINARY;
    case FileSystem::OpenMode::kReadBinary:
    case FileSystem::OpenMode::kReadSettings:
      break;
  }
  return _O_RDONLY | _O_BINARY;
}

// The profile call looks for a name that is not a full path (such as "C:inst.ini") in the
// Windows folder; the file tested to exist is the one the current folders name. They are
// taken in UTF-16: in the code page a current folder that it cannot express would be a
// look-alike, another folder.
std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

// Only a file on a disk: reading a device or a pipe could wait for ever. (The C runtime tells
// them by the system's file type: a device such as COM1 or NUL is _S_IFCHR, a pipe _S_IFIFO.)
bool IsRegularFile(int fd) {
  struct _stat64 status {};
  return _fstat64(fd, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
}

enum class Encoding { kCodePage, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

// How the settings file is written, told by its byte-order mark.
Encoding EncodingOf(FileSystem& files, const std::string& path) {
  const OpenResult opened = files.Open(path, FileSystem::OpenMode::kReadSettings);
  if (opened.fd < 0) return Encoding::kCodePage;
  const std::string start = files.Read(opened.fd, 3).bytes;
  files.Close(opened.fd);
  if (start == "\xEF\xBB\xBF") return Encoding::kUtf8;
  const std::string two = start.substr(0, 2);
  if (two == "\xFE\xFF") return Encoding::kUtf16BigEndian;
  return two == "\xFF\xFE" ? Encoding::kUtf16LittleEndian : Encoding::kCodePage;
}

// The profile call in its UTF-16 form: the ANSI form would turn the characters of a "Unicode"
// file that the code page lacks into look-alikes.
ProfileValue SystemProfileValue(const std::string& path, const std::string& section,
                                const std::string& key) {
  const std::wstring file = FromCodePage(path);
  if (file.empty()) return {};
  std::wstring value(kProfileBuffer, L'\0');
  const DWORD length =
      GetPrivateProfileStringW(FromCodePage(section).c_str(), FromCodePage(key).c_str(), L"",
                               value.data(), kProfileBuffer, FullPath(file).c_str());
  const Conversion converted = ToCodePage(std::wstring_view(value.data(), length));
  return {converted.text, converted.exact, false, converted.replacement};
}

// Windows' profile call reads no UTF-8: it would take the bytes in the code page, and the
// byte-order mark for part of the first line. Nor does it read UTF-16 with the big-endian mark
// (Wine's does). The project's reader gives such a file's values in UTF-8.
ProfileValue OwnReaderProfileValue(const std::string& path, const std::string& section,
                                   const std::string& key) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  const Conversion converted = Utf8ToCodePage(ReadIniValue(in, section, key));
  return {converted.text, converted.exact, false, converted.replacement};
}

// The profile call, which reads the settings file, reaches no file whose full name has
// MAX_PATH characters or more: such a file cannot be read, however it was named. Nor does
// CreateProcessA start a program by such a name, even where the file-finding call, on a host
// with long paths enabled, finds it.
bool BelowMaxPath(const std::string& path) {
  const std::wstring wide = FromCodePage(path);
  if (wide.empty()) return false;
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);  // with its zero
  return needed != 0 && needed <= MAX_PATH;
}

unsigned int Chunk(std::size_t size) {
  return static_cast<unsigned int>(size < INT_MAX ? size : INT_MAX);
}

class Win32FileSystem final : public FileSystem {
 public:
  OpenResult Open(const std::string& path, OpenMode mode) override {
    const int fd = _open(path.c_str(), OpenFlags(mode), _S_IWRITE);
    if (fd < 0) return {-1, errno};
    if (mode == OpenMode::kReadSettings && !IsRegularFile(fd)) {
      _close(fd);
      return {-1, ENXIO};
    }
    return {fd, 0};
  }

  IoResult Write(int fd, std::string_view bytes) override {
    for (std::size_t done = 0; done < bytes.size();) {
      const int n = _write(fd, bytes.data() + done, Chunk(bytes.size() - done));
      if (n < 0) return {false, errno};
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return {};
  }

  ReadResult Read(int fd, std::size_t maxBytes) override {
    ReadResult result;
    result.bytes.assign(maxBytes, '\0');
    const int n = _read(fd, result.bytes.data(), Chunk(maxBytes));
    if (n < 0) return {{}, false, errno};
    result.bytes.resize(static_cast<std::size_t>(n));
    return result;
  }

  void SeekFromStart(int fd, long offset) override { _lseek(fd, offset, SEEK_SET); }

  IoResult Close(int fd) override {
    if (_close(fd) < 0) return {false, errno};
    return {};
  }

  // A launcher that could be found but never started counts as missing, before any log exists.
  bool Find(const std::string& path) override {
    if (!BelowMaxPath(path)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
  }

  bool CanOpenForReading(const std::string& path) override {
    if (!BelowMaxPath(path)) return false;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return false;
    (void)std::fclose(file);
    return true;
  }

  ProfileValue ProfileString(const std::string& path, const std::string& section,
                             const std::string& key) override {
    const Encoding encoding = EncodingOf(*this, path);
    if (encoding == Encoding::kUtf8 || encoding == Encoding::kUtf16BigEndian) {
      return OwnReaderProfileValue(path, section, key);
    }
    ProfileValue value = SystemProfileValue(path, section, key);
    value.readInCodePage = encoding == Encoding::kCodePage && GetACP() != CP_UTF8;
    return value;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace ivx
