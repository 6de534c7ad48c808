#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>

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
      break;
  }
  return _O_RDONLY | _O_BINARY;
}

// The profile call looks for a name that is not a full path (such as "C:inst.ini") in the
// Windows folder; the file tested to exist is the one the current folders name.
std::string FullPath(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

// The profile call, which reads the settings file, reaches no file whose full name has
// MAX_PATH characters or more: such a file cannot be read, however it was named.
bool ProfileCallReaches(const std::string& path) {
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

  bool Find(const std::string& path) override {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
  }

  bool CanOpenForReading(const std::string& path) override {
    if (!ProfileCallReaches(path)) return false;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return false;
    (void)std::fclose(file);
    return true;
  }

  std::string ProfileString(const std::string& path, const std::string& section,
                            const std::string& key) override {
    std::string value(kProfileBuffer, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                                  kProfileBuffer, FullPath(path).c_str());
    value.resize(length);
    return value;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace ivx
