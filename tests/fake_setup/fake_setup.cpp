// A launcher of the tests' own, installed in a test kit as setup.exe. It records the
// arguments it received (each followed by a zero byte) in "fake-args" beside itself, then
// does what the files beside it ask:
//   fake-setup-log   its bytes become the setup log named after /f2 (no file: no setup log)
//   fake-append      its bytes are appended to the installation log named after /z
//   fake-action      one of: log-to-folder (the installation log is replaced by a folder),
//                    log-to-fifo (by a FIFO, POSIX only), delete-log, sparse-setup-log (a 1 GiB
//                    setup log, "ResultCode=0" at its start), kill (ends by a signal, POSIX only),
//                    slow (takes a second, then writes "fake-done" beside itself)
//   fake-exit        the exit code (decimal), 0 without the file
// On POSIX it also records in "fake-sigint" whether the interrupt signal is "default" or
// "ignored" for it, and in "fake-signals" the lines "SigBlk:" and "SigIgn:" of its
// /proc/self/status (the blocked and the ignored signals, as hexadecimal masks); on Windows,
// in "fake-command-line", its command line as GetCommandLineA gives it.
#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes, std::ios::openmode extra = {}) {
  std::ofstream(path, std::ios::binary | extra) << bytes;
}

std::string ArgumentAfter(int argc, char** argv, std::string_view prefix) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, prefix.size()) == prefix) return std::string(arg.substr(prefix.size()));
  }
  return {};
}

void RecordArguments(const fs::path& here, int argc, char** argv) {
  std::string record;
  for (int i = 0; i < argc; ++i) {
    record += argv[i];
    record += '\0';
  }
  Write(here / "fake-args", record);
#ifdef _WIN32
  Write(here / "fake-command-line", GetCommandLineA());
#else
  std::ifstream status("/proc/self/status");
  std::string signals;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigBlk:", 0) == 0 || line.rfind("SigIgn:", 0) == 0) signals += line + "\n";
  }
  Write(here / "fake-signals", signals);
  const auto previous = std::signal(SIGINT, SIG_DFL);
  Write(here / "fake-sigint", previous == SIG_IGN ? "ignored" : "default");
#endif
}

void Act(const std::string& action, const fs::path& here, const fs::path& setupLog,
         const fs::path& installLog) {
  std::error_code ignored;
  if (action == "log-to-folder") {
    fs::remove(installLog, ignored);
    fs::create_directory(installLog, ignored);
  } else if (action == "log-to-fifo") {
#ifndef _WIN32
    fs::remove(installLog, ignored);
    mkfifo(installLog.c_str(), 0644);
#endif
  } else if (action == "delete-log") {
    fs::remove(installLog, ignored);
  } else if (action == "sparse-setup-log") {
    Write(setupLog, "ResultCode=0\r\n");
    fs::resize_file(setupLog, std::uintmax_t{1} << 30, ignored);
  } else if (action == "slow") {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Write(here / "fake-done", "done");
  } else if (action == "kill") {
#ifndef _WIN32
    std::raise(SIGKILL);
#endif
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path here = fs::path(argv[0]).parent_path();
  RecordArguments(here, argc, argv);
  const fs::path setupLog = ArgumentAfter(argc, argv, "/f2");
  const fs::path installLog = ArgumentAfter(argc, argv, "/z");
  if (fs::exists(here / "fake-setup-log")) Write(setupLog, ReadAll(here / "fake-setup-log"));
  if (fs::exists(here / "fake-append")) {
    Write(installLog, ReadAll(here / "fake-append"), std::ios::app);
  }
  if (fs::exists(here / "fake-action"))
    Act(ReadAll(here / "fake-action"), here, setupLog, installLog);
  const std::string exitCode = ReadAll(here / "fake-exit");
  return exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
}
