#include "core/paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "support/code_page_932.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

using testing::FakeEnvironment;
using testing::IsLeadByte932;
using testing::kHyo;
using testing::kSofuto;
constexpr PathStyle kWin = PathStyle::kWindows;
constexpr PathStyle kPosix = PathStyle::kPosix;

TEST(Paths, TheTimestampSuffixIsTwentyCharactersOfLocalDateAndTime) {
  EXPECT_EQ(TimestampSuffix(FakeEnvironment::MakeTime(2026, 12, 7, 15, 24, 35)),
            "_2026-12-07_15-24-35");
  EXPECT_EQ(TimestampSuffix(FakeEnvironment::MakeTime(2027, 1, 2, 3, 4, 5)),
            "_2027-01-02_03-04-05");
}

struct FolderCase {
  PathStyle style;
  std::optional<std::string> systemRoot;
  std::string folder;
};

TEST(Paths, BothLogsGoToTheRootOfTheSystemDrive) {
  const FolderCase cases[] = {
      {kWin, "C:\\WINDOWS", "C:\\"},
      {kWin, "D:\\Win", "D:\\"},
      {kWin, std::nullopt, "C:\\"},
      {kWin, "", "C:\\"},
      {kWin, "K:", "K:"},
      {kWin, "K", "K"},
      {kWin, "\\\\srv\\share", "\\\\s"},
      {kPosix, "/var/log/vorx", "/var/log/vorx/"},
      {kPosix, "/var/log/", "/var/log/"},
      {kPosix, std::nullopt, "/"},
      {kPosix, "", "/"},
      {kPosix, "x", "x/"},
  };
  for (const FolderCase& c : cases) {
    EXPECT_EQ(LogFolder(c.style, c.systemRoot), c.folder) << c.systemRoot.value_or("(unset)");
  }
  const LogPaths logs = MakeLogPaths("C:\\", "_2026-12-07_15-24-35");
  EXPECT_EQ(logs.installationLog, "C:\\installvorx_2026-12-07_15-24-35.log");
  EXPECT_EQ(logs.setupLog, "C:\\setup_2026-12-07_15-24-35.log");
}

TEST(Paths, TheCurrentDirectoryTextEndsInOneSeparatorAndIsNotCollapsed) {
  EXPECT_EQ(CurrentDirectoryText(kWin, "D:\\kit\\tools"), "D:\\kit\\tools\\");
  EXPECT_EQ(CurrentDirectoryText(kWin, "C:\\"), "C:\\");
  EXPECT_EQ(CurrentDirectoryText(kWin, "\\\\server\\share\\"), "\\\\server\\share\\");
  EXPECT_EQ(CurrentDirectoryText(kWin, "\\\\server\\share"), "\\\\server\\share\\");
  EXPECT_EQ(CurrentDirectoryText(kPosix, "/"), "/");
  EXPECT_EQ(CurrentDirectoryText(kPosix, "/srv/kit"), "/srv/kit/");
  EXPECT_EQ(CurrentDirectoryText(kPosix, std::nullopt), "");
  // code page 932: the second byte of a character is no separator, even when it is 0x5C
  EXPECT_EQ(CurrentDirectoryText(kWin, "K:\\cfg\\" + kHyo, IsLeadByte932),
            "K:\\cfg\\" + kHyo + "\\");
  EXPECT_EQ(CurrentDirectoryText(kWin, "K:\\" + kHyo + "\\", IsLeadByte932), "K:\\" + kHyo + "\\");
  EXPECT_EQ(CurrentDirectoryText(kWin, "K:\\\x95", IsLeadByte932), "K:\\\x95\\");
}

struct OwnCase {
  PathStyle style;
  std::optional<std::string> executable;
  std::string invokedAs;
  std::string ownDirectory;
  LeadByteTest isLead = NoLeadBytes;
};

TEST(Paths, TheOwnDirectoryIsTheExecutablesRealFolder) {
  const std::string cwd = "C:\\work\\";
  const OwnCase cases[] = {
      {kWin, "D:\\kit\\tools\\installvorx.exe", "installvorx", "D:\\kit\\tools\\"},
      {kWin, "D:\\kit\\tools\\INSTALLVORX.EXE", "INSTALLVORX", "D:\\kit\\tools\\"},
      {kWin, "D:\\my.exe\\tools\\installvorx.exe", "x", "D:\\my.exe\\tools\\"},
      {kWin, "D:\\vorx\\ivx.exe", "ivx", "D:\\vorx\\"},
      {kWin, "\\\\srv\\kit\\tools\\installvorx.exe", "", "\\\\srv\\kit\\tools\\"},
      // the system cannot tell: the first argument, made absolute
      {kWin, std::nullopt, "D:\\kit\\tools\\installvorx.exe", "D:\\kit\\tools\\"},
      {kWin, std::nullopt, "D:/kit/tools/installvorx.exe", "D:/kit/tools/"},
      {kWin, std::nullopt, "tools\\installvorx", "C:\\work\\tools\\"},
      {kWin, std::nullopt, "installvorx", "C:\\work\\"},
      {kWin, std::nullopt, "", "C:\\work\\"},
      {kPosix, "/opt/kit/tools/installvorx", "ivx", "/opt/kit/tools/"},
      {kPosix, "/installvorx", "ivx", "/"},
      {kPosix, std::nullopt, "./installvorx", "C:\\work\\./"},
      // code page 932: the second byte of a character is no separator, even when it is 0x5C
      {kWin, "K:\\" + kSofuto + "\\installvorx.exe", "", "K:\\" + kSofuto + "\\", IsLeadByte932},
      {kWin, "K:\\" + kHyo + "vorx.exe", "", "K:\\", IsLeadByte932},
      {kWin, std::nullopt, kHyo + "vorx", "C:\\work\\", IsLeadByte932},
  };
  for (const OwnCase& c : cases) {
    EXPECT_EQ(OwnDirectory(c.style, c.executable, c.invokedAs, cwd, c.isLead), c.ownDirectory)
        << c.executable.value_or("(unknown)") << " " << c.invokedAs;
  }
}

// The real file's path through a link, as the system's final-path query gives it: only a
// drive or share path can name the launcher beside it.
TEST(Paths, AFinalPathIsTheDriveOrSharePathAfterItsPrefix) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"\\\\?\\D:\\kit\\tools\\installvorx.exe", "D:\\kit\\tools\\installvorx.exe"},
      {"\\\\?\\k:\\ivx.exe", "k:\\ivx.exe"},
      {"\\\\?\\UNC\\srv\\kit\\tools\\ivx.exe", "\\\\srv\\kit\\tools\\ivx.exe"},
      {"\\\\?\\Volume{0a1b2c3d-0000-0000-0000-100000000000}\\kit\\ivx.exe", std::nullopt},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume3\\ivx.exe", std::nullopt},
      {"\\\\?\\UNC\\", std::nullopt},
      {"\\\\?\\D:", std::nullopt},
      {"D:\\kit\\ivx.exe", std::nullopt},
      {"\\\\.\\D:\\kit\\ivx.exe", std::nullopt},
  };
  for (const auto& [finalPath, ordinary] : cases) {
    EXPECT_EQ(DriveOrSharePath(finalPath), ordinary) << finalPath;
  }
}

TEST(Paths, ANameIsResolvedAgainstTheCurrentDirectoryUnlessItIsAbsolute) {
  const std::string winCwd = "C:\\work\\";
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "inst.ini"), "C:\\work\\inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "cfg\\inst.ini"), "C:\\work\\cfg\\inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "D:\\kit\\inst.ini"), "D:\\kit\\inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "C:inst.ini"), "C:inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "\\cfg\\inst.ini"), "\\cfg\\inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "\\\\srv\\share\\inst.ini"), "\\\\srv\\share\\inst.ini");
  EXPECT_EQ(ResolveAgainst(kWin, winCwd, "/cfg/inst.ini"), "/cfg/inst.ini");
  EXPECT_EQ(ResolveAgainst(kPosix, "/srv/", "inst.ini"), "/srv/inst.ini");
  EXPECT_EQ(ResolveAgainst(kPosix, "/srv/", "/etc/inst.ini"), "/etc/inst.ini");
  EXPECT_EQ(ResolveAgainst(kPosix, "/srv/", "C:inst.ini"), "/srv/C:inst.ini");
  EXPECT_EQ(ResolveAgainst(kPosix, "", "inst.ini"), "inst.ini");
}

}  // namespace
}  // namespace ivx
