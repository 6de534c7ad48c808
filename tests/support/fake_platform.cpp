#include "support/fake_platform.h"

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "core/characters.h"
#include "core/ini_reader.h"

namespace ivx::testing {

int FakeConsole::ReadChar() {
  if (read_ >= input.size()) return kEndOfInput;
  return static_cast<unsigned char>(input[read_++]);
}

std::optional<std::string> FakeEnvironment::RealFolder(const std::string& path) {
  const auto found = realFolders.find(path);
  return found == realFolders.end() ? std::optional<std::string>(path) : found->second;
}

std::optional<std::string> FakeEnvironment::Variable(const std::string& name) {
  const auto found = variables.find(name);
  if (found == variables.end()) return std::nullopt;
  return found->second;
}

std::tm FakeEnvironment::MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

std::optional<int> FakeFileSystem::FailureFor(Failure::Op op, const std::string& path,
                                              std::optional<OpenMode> mode) {
  for (const Failure& failure : failures) {
    if (failure.op != op || failure.path != path) continue;
    if (op == Failure::Op::kOpen && failure.mode && failure.mode != mode) continue;
    if (op == Failure::Op::kWrite && writes_[path] < failure.after) continue;
    return failure.error;
  }
  return std::nullopt;
}

bool FakeFileSystem::IsFolder(const std::string& path) const {
  return std::find(folders.begin(), folders.end(), path) != folders.end();
}

OpenResult FakeFileSystem::Open(const std::string& path, OpenMode mode) {
  if (const auto error = FailureFor(Failure::Op::kOpen, path, mode)) return {-1, *error};
  if (IsFolder(path)) return {-1, EACCES};
  if (files.count(path) == 0) {
    if (mode != OpenMode::kCreateAppendText) return {-1, ENOENT};
    files[path];
  }
  open_[nextFd_] = {path, mode};
  return {nextFd_++, 0};
}

IoResult FakeFileSystem::Write(int fd, std::string_view bytes) {
  const Descriptor& file = open_.at(fd);
  if (const auto error = FailureFor(Failure::Op::kWrite, file.path)) return {false, *error};
  ++writes_[file.path];
  std::string& content = files[file.path];
  for (char c : bytes) {
    if (c == '\n' && file.mode == OpenMode::kCreateAppendText) content += '\r';
    content += c;
  }
  return {};
}

ReadResult FakeFileSystem::Read(int fd, std::size_t maxBytes) {
  largestRead = std::max(largestRead, maxBytes);
  Descriptor& file = open_.at(fd);
  if (const auto error = FailureFor(Failure::Op::kRead, file.path)) return {{}, false, *error};
  const std::string& content = files[file.path];
  if (file.position >= content.size()) return {};
  std::string bytes = content.substr(file.position, maxBytes);
  file.position += bytes.size();
  return {bytes, true, 0};
}

void FakeFileSystem::SeekFromStart(int fd, long offset) {
  open_.at(fd).position = static_cast<std::size_t>(offset);
}

IoResult FakeFileSystem::Close(int fd) {
  const std::string path = open_.at(fd).path;
  open_.erase(fd);
  if (const auto error = FailureFor(Failure::Op::kClose, path)) return {false, *error};
  return {};
}

bool FakeFileSystem::Find(const std::string& path) { return files.count(path) != 0; }

bool FakeFileSystem::CanOpenForReading(const std::string& path) {
  return files.count(path) != 0 && !FailureFor(Failure::Op::kOpen, path);
}

ProfileValue FakeFileSystem::ProfileString(const std::string& path, const std::string& section,
                                           const std::string& key) {
  const auto found = files.find(path);
  if (found == files.end()) return {};
  std::istringstream text(found->second);
  ProfileValue value{ReadIniValue(text, section, key), true, readInCodePage};
  value.replacement = HoldsReplacementCharacter(value.text);
  for (std::size_t at; !lacking.empty() && (at = value.text.find(lacking)) != std::string::npos;) {
    value.text.replace(at, lacking.size(), "?");
    value.exact = false;
  }
  return value;
}

std::optional<int> FakeRunner::Run(const std::string& commandLine) {
  commandLines.push_back(commandLine);
  if (whileRunning) whileRunning();
  return result;
}

}  // namespace ivx::testing
