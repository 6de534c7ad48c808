// The file layer of the build under test, on real files (under Wine for the Windows build).
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/profile_corpus.h"

namespace ivx {
namespace {

namespace fs = std::filesystem;
using Mode = FileSystem::OpenMode;

class HostFilesTest : public ::testing::Test {
 protected:
  HostFilesTest() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("ivx-files-") + test->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~HostFilesTest() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  void Append(Mode mode, const std::string& path, const std::string& text) {
    const OpenResult opened = files_->Open(path, mode);
    ASSERT_GE(opened.fd, 0) << opened.error;
    EXPECT_TRUE(files_->Write(opened.fd, text).ok);
    EXPECT_TRUE(files_->Close(opened.fd).ok);
  }

  std::unique_ptr<FileSystem> files_ = MakeHostFileSystem();
  fs::path dir_;
};

TEST_F(HostFilesTest, TextModeStoresCrLfAndBinaryModeStoresBytesAsTheyStand) {
  const std::string log = Path("log");
  Append(Mode::kCreateAppendText, log, "start\n");
  Append(Mode::kAppendBinary, log, "after\n");
  EXPECT_EQ(Read(log), "start\r\nafter\n");
}

TEST_F(HostFilesTest, CreationAppendsToAnExistingFileAndNeverTruncates) {
  const std::string log = Path("log");
  Write(log, "earlier\n");
  Append(Mode::kCreateAppendText, log, "x\n");
  EXPECT_EQ(Read(log), "earlier\nx\r\n");
}

TEST_F(HostFilesTest, ReopeningAMissingFileFailsWithEnoent) {
  const OpenResult opened = files_->Open(Path("missing"), Mode::kAppendBinary);
  EXPECT_LT(opened.fd, 0);
  EXPECT_EQ(opened.error, ENOENT);
}

TEST_F(HostFilesTest, AFolderCannotBeOpenedForWriting) {
  fs::create_directory(Path("folder"));
  EXPECT_LT(files_->Open(Path("folder"), Mode::kCreateAppendText).fd, 0);
  EXPECT_LT(files_->Open(Path("folder"), Mode::kAppendBinary).fd, 0);
  EXPECT_FALSE(files_->CanOpenForReading(Path("folder")));
}

TEST_F(HostFilesTest, ReadsOnceFromTheSeekPosition) {
  const std::string file = Path("data");
  Write(file, "0123456789");
  const OpenResult opened = files_->Open(file, Mode::kReadBinary);
  ASSERT_GE(opened.fd, 0);
  files_->SeekFromStart(opened.fd, 3);
  EXPECT_EQ(files_->Read(opened.fd, 4).bytes, "3456");
  EXPECT_EQ(files_->Read(opened.fd, 100).bytes, "789");
  EXPECT_EQ(files_->Read(opened.fd, 100).bytes, "");
  EXPECT_TRUE(files_->Close(opened.fd).ok);
}

TEST_F(HostFilesTest, FindsTheLauncherAndTellsReadableFiles) {
  Write(Path("setup.exe"), "MZ");
  EXPECT_TRUE(files_->Find(Path("setup.exe")));
  EXPECT_FALSE(files_->Find(Path("setup.ex")));
  EXPECT_TRUE(files_->CanOpenForReading(Path("setup.exe")));
  EXPECT_FALSE(files_->CanOpenForReading(Path("nothing.ini")));
}

TEST_F(HostFilesTest, ReadsEveryCorpusFileAsTheWindowsProfileCallDoes) {
  int n = 0;
  for (const testing::ProfileCase& c : testing::ProfileCorpus()) {
    // A name of its own for each file: the profile call may keep a file it read in memory.
    const std::string file = Path(std::to_string(n++) + "-" + c.name + ".ini");
    Write(file, c.text);
    EXPECT_EQ(files_->ProfileString(file, c.section, c.key).text, c.value) << c.name;
  }
  EXPECT_EQ(files_->ProfileString(Path("missing.ini"), "S", "A").text, "");
}

// A settings file is read as the settings reader reads it, through links, and only when it is
// a regular file: a device, pipe or folder could keep the reader waiting or yield nothing.
TEST_F(HostFilesTest, ASettingsFileIsReadThroughLinksAndOnlyWhenItIsARegularFile) {
  Write(Path("inst.ini"), "[S]\r\n");
  fs::create_directory(Path("folder"));
  std::vector<std::pair<std::string, bool>> cases = {
      {Path("inst.ini"), true}, {Path("folder"), false}, {Path("missing"), false}};
#ifdef _WIN32
  cases.emplace_back("NUL", false);
#else
  fs::create_symlink(Path("inst.ini"), Path("link.ini"));
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
  cases.insert(cases.end(),
               {{Path("link.ini"), true}, {Path("fifo"), false}, {"/dev/zero", false}});
#endif
  for (const auto& [path, opens] : cases) {
    const OpenResult opened = files_->Open(path, Mode::kReadSettings);
    EXPECT_EQ(opened.fd >= 0, opens) << path;
    if (opened.fd < 0) continue;
    EXPECT_EQ(files_->Read(opened.fd, 100).bytes, "[S]\r\n") << path;
    EXPECT_TRUE(files_->Close(opened.fd).ok);
  }
}

// Where the system cannot tell the executable's path, the folder of the name the command was
// started by is resolved by the system: "./", "." and ".." fold, and on POSIX links resolve.
TEST_F(HostFilesTest, TheEnvironmentResolvesAFolderAsTheSystemDoes) {
  fs::create_directories(dir_ / "kit" / "tools" / "sub");
#ifdef _WIN32
  const std::string tools = (dir_ / "kit" / "tools").string();
#else
  const std::string tools = (fs::canonical(dir_) / "kit" / "tools").string();
#endif
  std::vector<std::pair<std::string, std::string>> rows = {
      {Path("kit/tools/./"), tools},
      {Path("kit/tools/."), tools},
      {Path("kit/tools/sub/.."), tools},
      {Path("kit/./tools/sub/../"), tools},
  };
#ifndef _WIN32
  fs::create_directory_symlink(dir_ / "kit" / "tools", dir_ / "link");
  rows.emplace_back(Path("link/"), tools);
  rows.emplace_back(Path("link/sub/.."), tools);
#endif
  const std::unique_ptr<Environment> env = MakeHostEnvironment();
  for (const auto& [path, folder] : rows) {
    std::string real = env->RealFolder(path).value_or("(unresolved)");
    if (real.back() == '/' || real.back() == '\\') real.pop_back();  // Windows keeps "tools\"
    EXPECT_EQ(real, folder) << path;
  }
}

#ifdef _WIN32
// The profile call reads no file whose full name has MAX_PATH (260) characters or more, and
// CreateProcessA starts no program by such a name: such a settings file or launcher must count
// as missing rather than be found and then yield nothing or fail to start.
TEST_F(HostFilesTest, AFileIsFoundOrReadableOnlyWhileItsFullNameIsBelowMaxPath) {
  const std::size_t folder = Path("").size();
  for (const std::size_t length : {259u, 260u}) {
    const std::string file = Path(std::string(length - folder, 'n'));
    ASSERT_EQ(file.size(), length);
    Write(file, "[S]\r\nA=1\r\n");
    EXPECT_EQ(files_->Find(file), length < 260) << length;
    EXPECT_EQ(files_->CanOpenForReading(file), length < 260) << length;
    EXPECT_EQ(files_->ProfileString(file, "S", "A").text, length < 260 ? "1" : "") << length;
  }
}
#else
TEST_F(HostFilesTest, TheLogIsNeverWrittenThroughALinkPlantedAtItsName) {
  const std::string target = Path("target");
  Write(target, "precious\n");
  fs::create_symlink(target, Path("log"));
  for (Mode mode : {Mode::kCreateAppendText, Mode::kAppendBinary, Mode::kReadBinary}) {
    const OpenResult opened = files_->Open(Path("log"), mode);
    EXPECT_LT(opened.fd, 0);
    EXPECT_EQ(opened.error, ELOOP);
  }
  EXPECT_EQ(Read(target), "precious\n");
}

// A FIFO without a writer would block the open or the read for ever.
TEST_F(HostFilesTest, AFifoSocketOrDeviceAtALogsNameFailsAtOnceWithEnxio) {
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  Path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const std::string& path : {Path("fifo"), Path("socket"), std::string("/dev/null")}) {
    for (Mode mode : {Mode::kCreateAppendText, Mode::kAppendBinary, Mode::kReadBinary}) {
      const OpenResult opened = files_->Open(path, mode);
      EXPECT_LT(opened.fd, 0) << path;
      EXPECT_EQ(opened.error, ENXIO) << path;
    }
  }
  close(listener);
}

TEST_F(HostFilesTest, OnlyRegularFilesCountAsSettingsFilesOrLaunchers) {
  fs::create_directory(Path("setup.exe"));
  EXPECT_FALSE(files_->Find(Path("setup.exe")));
  EXPECT_FALSE(files_->CanOpenForReading("/dev/null"));
}
#endif

}  // namespace
}  // namespace ivx
