// The files the command touches: its installation log and the launcher's setup log through
// low-level descriptors, and the existence tests and value lookups of the other files.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace ivx {

// The outcome of one operation: ok, or failed with the errno that the failing call left.
struct IoResult {
  bool ok = true;
  int error = 0;
};

struct OpenResult {
  int fd = -1;  // negative when the open failed
  int error = 0;
};

struct ReadResult {
  std::string bytes;
  bool ok = true;
  int error = 0;
};

class FileSystem {
 public:
  // Every mode opens a log. On POSIX the last path component is never followed as a link, and
  // the open never blocks: anything but a regular file or a folder fails with ENXIO.
  enum class OpenMode {
    // Write only, each write at the end, created when missing and never truncated; every LF
    // written is stored as CR LF.
    kCreateAppendText,
    // Read and write, each write at the end, bytes stored as they stand, no creation.
    kAppendBinary,
    // Read only, bytes as they stand, no creation.
    kReadBinary,
  };

  virtual ~FileSystem() = default;
  virtual OpenResult Open(const std::string& path, OpenMode mode) = 0;
  // Fails only when nothing could be written; the bytes are never cut short otherwise.
  virtual IoResult Write(int fd, std::string_view bytes) = 0;
  // One read of at most maxBytes.
  virtual ReadResult Read(int fd, std::size_t maxBytes) = 0;
  virtual void SeekFromStart(int fd, long offset) = 0;
  virtual IoResult Close(int fd) = 0;

  // True when the launcher is found under the exact name (Windows: any directory entry, as
  // the system's file search finds it; POSIX: a regular file).
  virtual bool Find(const std::string& path) = 0;
  // True when the path names a file that can be opened for reading; a folder cannot. On
  // Windows its full name must also be short enough for the profile call (below MAX_PATH).
  virtual bool CanOpenForReading(const std::string& path) = 0;
  // The value of the key in the section of the INI file: one pair of enclosing quotation
  // marks dropped, at most 1023 characters, empty when the file, section or key is missing.
  virtual std::string ProfileString(const std::string& path, const std::string& section,
                                    const std::string& key) = 0;
};

std::unique_ptr<FileSystem> MakeHostFileSystem();

}  // namespace ivx
