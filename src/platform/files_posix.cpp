#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>

#include "core/characters.h"
#include "core/ini_reader.h"
#include "platform/files.h"

namespace ivx {
namespace {

// Windows stores each LF written through a text-mode descriptor as CR LF; so does this
// build, so that both write the same bytes.
std::string ToCrLf(std::string_view text) {
  std::string stored;
  stored.reserve(text.size() + 16);
  for (char c : text) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

int OpenFlags(FileSystem::OpenMode mode) {
  switch (mode) {
    case FileSystem::OpenMode::kCreateAppendText:
      return O_WRONLY | O_APPEND | O_CREAT;
    case FileSystem::OpenMode::kAppendBinary:
      return O_RDWR | O_APPEND;
    case FileSystem::OpenMode::kReadBinary:
    case FileSystem::OpenMode::kReadSettings:
      break;
  }
  return O_RDONLY;
}

// Both logs have predictable names in a folder that others may write, and the command runs as
// root: whatever is planted under a log's name, opening it must not follow a link (appending to
// any file on the system), block (a FIFO without a writer) or make a terminal the command's own.
constexpr int kLogOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// The settings file is read as the settings reader reads it, through links; it must not block
// either.
constexpr int kSettingsOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// A log must be a regular file. A FIFO, socket or device fails as Linux fails a FIFO without a
// reader; a folder keeps the error that its open or its read gives. A settings file must be a
// regular file.
int FileTypeError(int fd, FileSystem::OpenMode mode) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return errno;
  const bool folderAllowed = mode != FileSystem::OpenMode::kReadSettings;
  return S_ISREG(status.st_mode) || (folderAllowed && S_ISDIR(status.st_mode)) ? 0 : ENXIO;
}

bool IsRegularFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

class PosixFileSystem final : public FileSystem {
 public:
  OpenResult Open(const std::string& path, OpenMode mode) override {
    int fd;
    do {
      const int flags = mode == OpenMode::kReadSettings ? kSettingsOpenFlags : kLogOpenFlags;
      fd = open(path.c_str(), OpenFlags(mode) | flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return {-1, errno};
    if (const int error = FileTypeError(fd, mode); error != 0) {
      close(fd);
      return {-1, error};
    }
    if (mode == OpenMode::kCreateAppendText) textMode_.insert(fd);
    return {fd, 0};
  }

  // A short write is carried on until everything is stored or the system refuses.
  IoResult Write(int fd, std::string_view bytes) override {
    const std::string stored = textMode_.count(fd) != 0 ? ToCrLf(bytes) : std::string(bytes);
    for (std::size_t done = 0; done < stored.size();) {
      const ssize_t n = write(fd, stored.data() + done, stored.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return {false, errno};
      done += static_cast<std::size_t>(n);
    }
    return {};
  }

  ReadResult Read(int fd, std::size_t maxBytes) override {
    ReadResult result;
    result.bytes.assign(maxBytes, '\0');
    ssize_t n;
    do {
      n = read(fd, result.bytes.data(), maxBytes);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return {{}, false, errno};
    result.bytes.resize(static_cast<std::size_t>(n));
    return result;
  }

  void SeekFromStart(int fd, long offset) override { lseek(fd, offset, SEEK_SET); }

  IoResult Close(int fd) override {
    textMode_.erase(fd);
    // On Linux the descriptor is gone even when close reports EINTR.
    if (close(fd) < 0 && errno != EINTR) return {false, errno};
    return {};
  }

  bool Find(const std::string& path) override { return IsRegularFile(path); }

  // Only a regular file: opening a pipe or device for reading could block the command.
  bool CanOpenForReading(const std::string& path) override {
    if (!IsRegularFile(path)) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
  }

  // The text is UTF-8 already: every value is exact, and U+FFFD is its three bytes.
  ProfileValue ProfileString(const std::string& path, const std::string& section,
                             const std::string& key) override {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text = ReadIniValue(in, section, key);
    const bool replacement = HoldsReplacementCharacter(text);
    return {std::move(text), true, false, replacement};
  }

 private:
  std::set<int> textMode_;  // descriptors whose LF is stored as CR LF
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace ivx
