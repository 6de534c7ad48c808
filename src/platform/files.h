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

// A value of the settings file, in the system's code page.
struct ProfileValue {
  std::string text;
  // False when the file holds a character of the value that the code page lacks (Windows):
  // the text has the code page's default character ("?") in its place, never a look-alike.
  bool exact = true;
  // True when the file's bytes were taken as text in the code page and the code page is not
  // UTF-8 (Windows, a file without a byte-order mark).
  bool readInCodePage = false;
  // True when the value holds U+FFFD, the replacement character: bytes that were no character
  // of the encoding they were read in (a file saved in code page 1252, read as UTF-8) became
  // it, and it stands in no real folder, host or port.
  bool replacement = false;
};

class FileSystem {
 public:
  // The first three modes open a log. On POSIX the last path component is never followed as
  // a link, and the open never blocks: anything but a regular file or a folder fails with
  // ENXIO.
  enum class OpenMode {
    // Write only, each write at the end, created when missing and never truncated; every LF
    // written is stored as CR LF.
    kCreateAppendText,
    // Read and write, each write at the end, bytes stored as they stand, no creation.
    kAppendBinary,
    // Read only, bytes as they stand, no creation.
    kReadBinary,
    // A settings file, read only as its bytes stand: links are followed as the settings
    // reader follows them, the open never blocks, and anything but a regular file (a device,
    // a pipe, a folder) fails with ENXIO.
    kReadSettings,
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
  // Windows: a file that starts with a UTF-8 byte-order mark, or with the UTF-16 big-endian
  // one, is read with the project's own reader, which the system's profile call is held to.
  virtual ProfileValue ProfileString(const std::string& path, const std::string& section,
                                     const std::string& key) = 0;
};

std::unique_ptr<FileSystem> MakeHostFileSystem();

}  // namespace ivx
