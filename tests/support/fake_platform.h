// A recording platform for the driver's tests: scripted input, an in-memory file system
// whose every operation can be made to fail, and a launcher that does what the test says.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ivx::testing {

class FakeConsole final : public Console {
 public:
  void Print(std::string_view text) override { output += text; }
  int ReadChar() override;
  bool InputEnded() const override { return !inputFails; }

  std::string input;
  bool inputFails = false;  // at the end of the input, reading fails instead of ending
  std::string output;

 private:
  std::size_t read_ = 0;
};

class FakeEnvironment final : public Environment {
 public:
  void IgnoreInterrupt() override { interruptIgnored = true; }
  std::tm LocalTimeNow() override { return now; }
  std::optional<std::string> Variable(const std::string& name) override;
  SystemPath CurrentDirectory() override { return currentDirectory; }
  SystemPath ExecutablePath() override { return executable; }
  std::optional<std::string> RealFolder(const std::string& path) override;
  bool IsAdministrator() override { return administrator; }
  LeadByteTest CodePageLeadBytes() override { return leadBytes; }

  std::tm now = MakeTime(2026, 12, 7, 15, 24, 35);
  std::map<std::string, std::string> variables;
  SystemPath currentDirectory{"C:\\work"};
  SystemPath executable{"C:\\kit\\tools\\installvorx.exe"};
  // Folders that the system resolves to another, or (nullopt) cannot resolve; any other path
  // stands for itself.
  std::map<std::string, std::optional<std::string>> realFolders;
  bool administrator = true;
  LeadByteTest leadBytes = NoLeadBytes;
  bool interruptIgnored = false;

  static std::tm MakeTime(int year, int month, int day, int hour, int minute, int second);
};

class FakeFileSystem final : public FileSystem {
 public:
  // One operation, on one path, that fails with an errno. For writes, `after` successful
  // writes to that path come first.
  struct Failure {
    enum class Op { kOpen, kWrite, kRead, kClose } op;
    std::string path;
    int error;
    std::optional<OpenMode> mode = std::nullopt;  // for kOpen: only this mode fails
    int after = 0;
  };

  OpenResult Open(const std::string& path, OpenMode mode) override;
  IoResult Write(int fd, std::string_view bytes) override;
  ReadResult Read(int fd, std::size_t maxBytes) override;
  void SeekFromStart(int fd, long offset) override;
  IoResult Close(int fd) override;
  bool Find(const std::string& path) override;
  bool CanOpenForReading(const std::string& path) override;
  ProfileValue ProfileString(const std::string& path, const std::string& section,
                             const std::string& key) override;

  std::map<std::string, std::string> files;  // path to content
  // A character (in UTF-8) that the code page lacks: values read hold "?" in its place and
  // are not exact.
  std::string lacking;
  bool readInCodePage = false;  // every value read is taken as text in the code page
  std::size_t largestRead = 0;  // the most bytes any read asked for
  std::vector<std::string> folders;
  std::vector<Failure> failures;
  int openDescriptors() const { return static_cast<int>(open_.size()); }

 private:
  struct Descriptor {
    std::string path;
    OpenMode mode;
    std::size_t position = 0;
  };
  std::optional<int> FailureFor(Failure::Op op, const std::string& path,
                                std::optional<OpenMode> mode = std::nullopt);
  bool IsFolder(const std::string& path) const;

  std::map<int, Descriptor> open_;
  std::map<std::string, int> writes_;
  int nextFd_ = 3;
};

class FakeRunner final : public ProcessRunner {
 public:
  std::optional<int> Run(const std::string& commandLine) override;

  std::vector<std::string> commandLines;
  std::optional<int> result = 0;
  std::function<void()> whileRunning;  // what the launcher does before it ends
};

struct FakePlatform {
  FakeConsole console;
  FakeEnvironment environment;
  FakeFileSystem files;
  FakeRunner runner;
  Platform platform{console, environment, files, runner};
};

}  // namespace ivx::testing
