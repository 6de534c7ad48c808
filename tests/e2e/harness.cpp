#include "harness.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "harness_system.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace e2e {
namespace {

#ifndef _WIN32
std::string Env(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0')
    throw std::runtime_error(std::string(name) + " is not set");
  return value;
}
#endif

char DriveLetter() {
  const char* drive = std::getenv("IVX_E2E_DRIVE");
  return drive != nullptr && *drive != '\0' ? *drive : 'k';
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

#ifndef _WIN32
bool StartsWith(const char* text, const std::string& prefix) {
  return std::strncmp(text, prefix.c_str(), prefix.size()) == 0;
}

bool IsLocaleVariable(const char* entry) {
  return StartsWith(entry, "LANG=") || StartsWith(entry, "LC_") || StartsWith(entry, "LOCPATH=");
}

// Wine takes the ANSI code page from the Linux locale.
std::vector<std::string> CodePageLocale(int codePage) {
  if (codePage == 1252 || codePage == 65001) return {"LANG=C.UTF-8", "LC_ALL=C.UTF-8"};
  if (codePage != 932)
    throw std::runtime_error("no locale for code page " + std::to_string(codePage));
  return {"LOCPATH=" + std::string(built::kLocales), "LANG=ja_JP.UTF-8", "LC_ALL=ja_JP.UTF-8"};
}

// The environment of a run: the tests' own, with SystemRoot and the code page set for the
// run. Wine gives every program SystemRoot from the prefix's registry, where it is stored as
// %IVX_SR%.
std::vector<std::string> RunEnvironment(bool wine, const std::optional<std::string>& systemRoot,
                                        int codePage) {
  const std::string name = wine ? "IVX_SR=" : "SystemRoot=";
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (StartsWith(*entry, name) || (codePage != 0 && IsLocaleVariable(*entry))) continue;
    env.emplace_back(*entry);
  }
  if (systemRoot) env.push_back(name + *systemRoot);
  if (wine) env.emplace_back("WINEDEBUG=-all");
  if (codePage != 0) {
    for (std::string& variable : CodePageLocale(codePage)) env.push_back(std::move(variable));
  }
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int WaitWithTimeout(pid_t pid, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "the command did not end within " << seconds << " seconds";
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

// Waits until the text is on the command's standard output, then sends it both keyboard
// interrupts of a terminal (Ctrl+C and Ctrl+\\).
void InterruptAfter(pid_t pid, const fs::path& output, const std::string& text, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (Case::ReadFile(output).find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the command never printed " << text;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(pid, SIGINT);
  kill(pid, SIGQUIT);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
#endif

}  // namespace

const Build& BuildUnderTest() {
  static const Build build{built::kWine, built::kBinary, built::kFakeSetup, built::kDemoSetup,
                           built::kCheck};
  return build;
}

std::optional<Build> LinuxBuild() {
  if (!UnderWine()) return BuildUnderTest();
  const Build reference{false, built::kLinuxBinary, built::kLinuxFakeSetup, "", ""};
  if (reference.binary.empty() || !fs::exists(reference.binary) ||
      !fs::exists(reference.fakeSetup)) {
    return std::nullopt;
  }
  return reference;
}

bool UnderWine() { return BuildUnderTest().wine; }

Case::Case(const Build& build) : build_(build), root_(fs::canonical(host::NewCaseFolder())) {
  fs::create_directories(Tools());
  fs::copy_file(build_.binary, Command());
  if (build_.wine) MapDrive();
}

Case::~Case() {
  std::error_code ignored;
  if (build_.wine) UnmapDrive();
  fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

fs::path Case::Command() const { return Tools() / fs::path(build_.binary).filename(); }

#ifndef _WIN32
// Under Wine the locale of the run chooses its code page.
bool RunsInCodePage(int) { return true; }

namespace host {

fs::path NewCaseFolder() {
  std::string pattern = (fs::temp_directory_path() / "ivx-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace host

// The case folder becomes a drive of its own, so that the logs, which go to the root of
// the drive of SystemRoot, land in it. The next case replaces the link.
void Case::MapDrive() const {
  const fs::path link =
      fs::path(Env("WINEPREFIX")) / "dosdevices" / (std::string(1, DriveLetter()) + ":");
  std::error_code ignored;
  fs::remove(link, ignored);
  fs::create_directory_symlink(root_, link);
}

void Case::UnmapDrive() const {}
#endif

void Case::UseFakeLauncher(int exitCode) {
  fs::copy_file(build_.fakeSetup, Kit() / "setup.exe", fs::copy_options::overwrite_existing);
  TellLauncher("fake-setup-log", "[ResponseResult]\r\nResultCode=0\r\n");
  if (exitCode != 0) TellLauncher("fake-exit", std::to_string(exitCode));
}

void Case::UseDemoLauncher() {
  fs::copy_file(build_.demoSetup, Kit() / "setup.exe", fs::copy_options::overwrite_existing);
}

void Case::UseCodePageOfTheCommands(int codePage) const {
  if (codePage != 65001) return;
  fs::copy_file(built::kUtf8CodePageBinary, Command(), fs::copy_options::overwrite_existing);
  fs::copy_file(built::kUtf8CodePageCheck, Tools() / fs::path(build_.check).filename(),
                fs::copy_options::overwrite_existing);
}

void Case::TellLauncher(const std::string& name, const std::string& bytes) {
  WriteFile(Kit() / name, bytes);
}

std::string Case::Seen(const fs::path& path) const {
  if (!build_.wine) return path.string();
  const std::string relative = fs::relative(path, root_).string();
  const std::string drive = std::string(1, static_cast<char>(std::toupper(DriveLetter()))) + ":\\";
  return relative == "." ? drive : drive + Replace(relative, "/", "\\");
}

RunResult Case::Run(const std::vector<std::string>& args, const RunOptions& options) {
  std::vector<std::string> argv = {
      options.invokeAs.value_or(build_.wine ? Seen(Command()) : Command().string())};
  argv.insert(argv.end(), args.begin(), args.end());
  return Spawn(std::move(argv), options);
}

namespace {

// The check's statuses that come with a report: every file accepted, or one refused.
bool IsReport(const std::vector<std::string>& args, const RunResult& run) {
  return std::find(args.begin(), args.end(), "--json") != args.end() &&
         (run.status == 0 || run.status == 2);
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

// Keeps a JSON report for the validation against the report's schema after the tests.
void KeepReport(const std::string& report) {
  static int count = 0;
  const fs::path folder = built::kReports;
  fs::create_directories(folder);
  Case::WriteFile(folder / (std::to_string(ProcessId()) + "-" + std::to_string(++count) + ".json"),
                  report);
}

}  // namespace

RunResult Case::Check(const std::vector<std::string>& args, const RunOptions& options) {
  const fs::path check = Tools() / fs::path(build_.check).filename();
  if (!fs::exists(check)) fs::copy_file(build_.check, check);
  std::vector<std::string> argv = {build_.wine ? Seen(check) : check.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  RunResult result = Spawn(std::move(argv), options);
  if (IsReport(args, result)) KeepReport(result.output);
  return result;
}

#ifndef _WIN32
RunResult Case::Spawn(std::vector<std::string> argv, const RunOptions& options) {
  RunResult result = SpawnOnce(argv, options);
  // Now and then Wine fails to start a program at all: status 1 and not one byte on either
  // stream, which neither command ever ends with (each says why it ends with 1). Such a start
  // is made once more; a command that really ends so ends so again.
  const bool silent = result.output.empty() && result.errors.empty();
  if (build_.wine && result.status == 1 && silent && !options.brokenOutput &&
      !options.interruptAfter) {
    std::fprintf(stderr, "wine did not start %s; starting it once more\n", argv[0].c_str());
    result = SpawnOnce(std::move(argv), options);
  }
  return result;
}

RunResult Case::SpawnOnce(std::vector<std::string> argv, const RunOptions& options) {
  if (build_.wine) argv.insert(argv.begin(), "wine");
  argv.insert(argv.begin(), options.wrapper.begin(), options.wrapper.end());

  std::optional<std::string> systemRoot = options.systemRoot;
  if (!systemRoot && !options.unsetSystemRoot) {
    systemRoot = build_.wine ? Seen(root_) + "windows" : root_.string();
  }
  std::vector<std::string> env = RunEnvironment(build_.wine, systemRoot, options.codePage);

  const fs::path input = root_ / ".stdin";
  const fs::path output = root_ / ".stdout";
  const fs::path errors = root_ / ".stderr";
  if (options.input) WriteFile(input, *options.input);
  int inputPipe[2] = {-1, -1};
  if (options.interruptAfter && pipe(inputPipe) != 0) throw std::runtime_error("pipe failed");
  int outputPipe[2] = {-1, -1};
  if (options.brokenOutput) {
    if (pipe(outputPipe) != 0) throw std::runtime_error("pipe failed");
    close(outputPipe[0]);  // gone before the command could write
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.interruptAfter) {
    posix_spawn_file_actions_adddup2(&actions, inputPipe[0], 0);
    posix_spawn_file_actions_addclose(&actions, inputPipe[0]);
    posix_spawn_file_actions_addclose(&actions, inputPipe[1]);
  } else if (options.closeInput) {
    posix_spawn_file_actions_addclose(&actions, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, options.input ? input.c_str() : "/dev/null",
                                     O_RDONLY, 0);
  }
  if (options.brokenOutput) {
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 1);
    posix_spawn_file_actions_addclose(&actions, outputPipe[1]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const fs::path cwd = options.workingDirectory.value_or(root_);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envPointers = Pointers(env);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                                   envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (options.brokenOutput) close(outputPipe[1]);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);
  if (options.interruptAfter) {
    // A command that the interrupts ended has closed its input: the write below must fail,
    // not end the tests.
    signal(SIGPIPE, SIG_IGN);
    close(inputPipe[0]);
    InterruptAfter(pid, output, *options.interruptAfter, options.timeoutSeconds);
    const std::string text = options.input.value_or("");
    if (write(inputPipe[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      ADD_FAILURE() << "the command did not take its input";
    }
    close(inputPipe[1]);
  }

  RunResult result;
  result.status = WaitWithTimeout(pid, options.timeoutSeconds);
  result.output = ReadFile(output);
  result.errors = ReadFile(errors);
  if (build_.wine) result.output = Replace(result.output, "\r\n", "\n");
  std::error_code ignored;
  fs::remove(input, ignored);
  fs::remove(output, ignored);
  fs::remove(errors, ignored);
  return result;
}
#endif

std::vector<std::string> Case::LauncherArgs(const fs::path& folder) const {
  const std::string record = ReadFile((folder.empty() ? Kit() : folder) / "fake-args");
  std::vector<std::string> args;
  for (std::size_t start = 0; start < record.size();) {
    const std::size_t end = record.find('\0', start);
    args.push_back(record.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

std::vector<fs::path> Case::Logs(const std::string& stem, const fs::path& folder) const {
  static const std::regex name("_[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\\.log");
  std::vector<fs::path> logs;
  for (const auto& entry : fs::directory_iterator(folder.empty() ? root_ : folder)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind(stem, 0) == 0 && std::regex_match(file.substr(stem.size()), name)) {
      logs.push_back(entry.path());
    }
  }
  return logs;
}

fs::path Case::InstallationLog() const {
  const std::vector<fs::path> logs = Logs("installvorx");
  if (logs.size() != 1)
    throw std::runtime_error("expected one installation log, found " + std::to_string(logs.size()));
  return logs.front();
}

std::string Case::Suffix() const {
  // The launcher was told the setup log's name; without a launcher, one log says it.
  static const std::regex suffix(
      "_[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}(?=\\.log$)");
  std::string name = InstallationLogNameFromLauncher();
  if (name.empty()) name = InstallationLog().filename().string();
  std::smatch found;
  if (!std::regex_search(name, found, suffix)) throw std::runtime_error("no suffix in " + name);
  return found.str();
}

std::string Case::InstallationLogNameFromLauncher() const {
  for (const std::string& arg : LauncherArgs()) {
    if (arg.rfind("/z", 0) == 0) return arg.substr(2);
  }
  return {};
}

std::vector<std::string> Case::ExpectedLauncherArgs(
    const std::optional<std::string>& properties) const {
  const std::string suffix = Suffix();
  std::vector<std::string> args = {Seen(Kit() / "setup.exe"),
                                   "/s",
                                   "/f1" + Seen(Kit() / "setup.iss"),
                                   "/f2" + Seen(root_ / ("setup" + suffix + ".log")),
                                   "/clone_wait",
                                   "/z" + Seen(root_ / ("installvorx" + suffix + ".log"))};
  if (properties) args.push_back(*properties);
  return args;
}

std::string Case::ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Case::WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

bool RunUnprivileged(RunOptions& options) {
  if (built::kWindowsHost) return false;
  options.wrapper = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  return std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true") == 0;
}

std::vector<std::string> SuffixesAround(int secondsBefore, int secondsAfter) {
  std::vector<std::string> suffixes;
  const std::time_t now = std::time(nullptr);
  for (std::time_t t = now - secondsBefore; t <= now + secondsAfter; ++t) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    std::ostringstream text;
    text << std::put_time(&local, "_%Y-%m-%d_%H-%M-%S");
    suffixes.push_back(text.str());
  }
  return suffixes;
}

#ifndef _WIN32
namespace host {

std::string Convert(const std::string& text, const std::string& from, const std::string& to,
                    bool replace) {
  const iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no iconv for " + to);
  std::string in = text;  // iconv takes its input through a pointer to non-const
  std::string out(text.size() * 4 + 4, '\0');
  char* inPos = in.data();
  char* outPos = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  while (inLeft > 0 &&
         iconv(converter, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1)) {
    if (!replace) {
      iconv_close(converter);
      throw std::runtime_error("not in " + to + ": " + text);
    }
    for (const char byte : std::string("\xEF\xBF\xBD")) {
      *outPos++ = byte;
      --outLeft;
    }
    ++inPos;
    --inLeft;
  }
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace host
#endif

namespace {

std::string CharsetOf(int codePage) {
  return codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
}

}  // namespace

std::string InCodePage(int codePage, const std::string& utf8) {
  return InCharset(CharsetOf(codePage), utf8);
}

std::string InCharset(const std::string& charset, const std::string& utf8) {
  return host::Convert(utf8, "UTF-8", charset, false);
}

std::string ToUtf8(const std::string& text, int codePage) {
  if (!UnderWine()) return host::Convert(text, "UTF-8", "UTF-8", true);
  return host::Convert(text, CharsetOf(codePage == 0 ? 1252 : codePage), "UTF-8", true);
}

bool IsUtf8(const std::string& text) { return host::Convert(text, "UTF-8", "UTF-8", true) == text; }

std::string IoErrorReport(const std::string& path, int error) {
  return "QEDN40126-W An error occurred in I/O of the installation log file(" + path +
         "). Code = " + std::to_string(error) + " " + std::strerror(error) + "\n";
}

}  // namespace e2e
