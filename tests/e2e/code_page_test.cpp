// The Windows build in the code pages its administrators use. In code page 932 (Japanese) the
// second byte of a character may be 0x5C, the byte of "\"; code page 1252 lacks "Ā", which
// the system's best fit would turn into "A". Beside the right files stand those that a byte
// walk or a look-alike would reach: none of them may be used.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "harness.h"
#include "settings_tables.h"
#include "texts.h"

namespace e2e {
namespace {

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "code pages are the Windows build's";
  }
};

// The text from the first occurrence of a part of it on; empty without one.
std::string From(const std::string& text, const std::string& part) {
  const std::size_t at = text.find(part);
  return at == std::string::npos ? std::string() : text.substr(at);
}

TEST_F(CodePageTest, In932TheKitTheCurrentDirectoryAndTheValuesAreWalkedByCharacter) {
  if (!RunsInCodePage(932)) GTEST_SKIP() << "not this host's code page";
  Case kit;
  kit.UseFakeLauncher();
  // The command's folder begins with a character ending in 0x5C: a byte walk would look for
  // the launcher ソsetup.exe.
  const fs::path tools = kit.Kit() / "ソフト";
  fs::create_directories(tools);
  fs::copy_file(kit.Command(), tools / "installvorx.exe");
  fs::copy_file(kit.Kit() / "setup.exe", kit.Kit() / "ソsetup.exe");
  // The current directory ends in one: a byte walk would read 表inst.ini.
  const fs::path current = kit.Root() / "cfg" / "表";
  fs::create_directories(current);
  Case::WriteFile(kit.Root() / "cfg" / "表inst.ini", kVersion);
  // So do the values: a byte walk would double their last bytes before the quotation marks.
  Case::WriteFile(
      current / "inst.ini",
      InCodePage(932, kVersion + kSettings + "VORX_INSTDIR=C:\\VORX\\表\r\nVORX_DBDIR=D:\\ソ\r\n"));
  RunOptions options;
  options.codePage = 932;
  options.invokeAs = kit.Seen(tools / "installvorx.exe");
  options.workingDirectory = current;

  const RunResult run = kit.Run({"/s", "/f", "inst.ini"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, kStart);
  ASSERT_EQ(kit.LauncherArgs().size(), 7u);
  EXPECT_EQ(kit.LauncherArgs(),
            kit.ExpectedLauncherArgs(
                InCodePage(932, "/v/qr VORX_INSTDIR=\"C:\\VORX\\表\" VORX_DBDIR=\"D:\\ソ\"")));
  EXPECT_EQ(
      From(Case::ReadFile(kit.Kit() / "fake-command-line"), " /v"),
      InCodePage(932, " /v\"/qr VORX_INSTDIR=\\\"C:\\VORX\\表\\\" VORX_DBDIR=\\\"D:\\ソ\\\"\""));
}

struct LookAlikeCase {
  const char* name;
  bool commandInAkit;             // the command runs from Ākit\tools instead of kit\tools
  bool fromAcfg;                  // the current directory is Ācfg
  std::vector<std::string> args;  // "ROOT" at the start stands for the case folder
  int status;
  std::string output;
};

void PrintTo(const LookAlikeCase& c, std::ostream* out) { *out << c.name; }

class LookAlikeTest : public CodePageTest, public ::testing::WithParamInterface<LookAlikeCase> {};

// Each look-alike would reach a file that is ready to be used: a launcher in Akit, settings
// in Acfg, or, for /s, the kit's own launcher.
TEST_P(LookAlikeTest, In1252IsNeverTakenForTheTextItReplaces) {
  const LookAlikeCase& c = GetParam();
  Case kit;
  kit.UseFakeLauncher();
  for (const char* folder : {"Ākit", "Akit"}) {
    fs::create_directories(kit.Root() / folder / "tools");
    fs::copy_file(kit.Kit() / "setup.exe", kit.Root() / folder / "setup.exe");
    fs::copy_file(kit.Kit() / "fake-setup-log", kit.Root() / folder / "fake-setup-log");
  }
  fs::copy_file(kit.Command(), kit.Root() / "Ākit" / "tools" / "installvorx.exe");
  for (const char* folder : {"Ācfg", "Acfg"}) {
    fs::create_directories(kit.Root() / folder);
    Case::WriteFile(kit.Root() / folder / "inst.ini", kVersion);
  }
  RunOptions options;
  options.codePage = 1252;
  if (c.commandInAkit)
    options.invokeAs = kit.Seen(kit.Root() / "Ākit" / "tools" / "installvorx.exe");
  if (c.fromAcfg) options.workingDirectory = kit.Root() / "Ācfg";
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg.rfind("ROOT", 0) == 0) arg = kit.Seen(kit.Root()) + arg.substr(4);
  }

  const RunResult run = kit.Run(args, options);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.output, c.output);
  for (const fs::path& launcher : {kit.Kit(), kit.Root() / "Ākit", kit.Root() / "Akit"}) {
    EXPECT_TRUE(kit.LauncherArgs(launcher).empty()) << launcher;
  }
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LookAlikeTest,
    ::testing::Values(
        LookAlikeCase{"own_path", true, false, {"/s"}, 9, kLauncherMissing},
        LookAlikeCase{"current_directory", false, true, {"/s", "/f", "inst.ini"}, 2, kMissing},
        LookAlikeCase{
            "settings_file_name", false, false, {"/s", "/f", "ROOTĀcfg\\inst.ini"}, 2, kMissing},
        LookAlikeCase{"option", false, false, {"/ｓ"}, 1, kInvalid}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CodePageTest, In1252APathThatConvertsExactlyReachesTheLauncherAsItsBytes) {
  Case kit;
  kit.UseFakeLauncher();
  const fs::path exact = kit.Root() / "Ékit";
  fs::create_directories(exact / "tools");
  fs::copy_file(kit.Command(), exact / "tools" / "installvorx.exe");
  fs::copy_file(kit.Kit() / "setup.exe", exact / "setup.exe");
  fs::copy_file(kit.Kit() / "fake-setup-log", exact / "fake-setup-log");
  RunOptions options;
  options.codePage = 1252;
  options.invokeAs = kit.Seen(exact / "tools" / "installvorx.exe");

  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> args = kit.LauncherArgs(exact);
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[0], InCodePage(1252, kit.Seen(exact / "setup.exe")));
  EXPECT_EQ(args[2], "/f1" + InCodePage(1252, kit.Seen(exact / "setup.iss")));
}

// A drive-relative name ("K:inst.ini") is taken in the current folder of its drive, which is
// resolved in UTF-16: in the code page that folder would be its look-alike.
TEST_F(CodePageTest, In1252ADriveRelativeSettingsNameIsReadInTheCurrentFolderItself) {
  Case kit;
  kit.UseFakeLauncher();
  for (const char* folder : {"Ācfg", "Acfg"}) {
    fs::create_directories(kit.Root() / folder);
    Case::WriteFile(kit.Root() / folder / "inst.ini",
                    kVersion + kSettings + "VORX_PORT=" + (folder[0] == 'A' ? "1" : "2") + "\r\n");
  }
  RunOptions options;
  options.codePage = 1252;
  options.workingDirectory = kit.Root() / "Ācfg";

  const RunResult run =
      kit.Run({"/s", "/f", kit.Seen(kit.Root()).substr(0, 2) + "inst.ini"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs("/v/qr VORX_PORT=2"));
}

// The logs go to the first three characters of SystemRoot: a character there that the code
// page lacks is never replaced by a look-alike, which would name another folder.
TEST_F(CodePageTest, In1252ASystemRootThatTheCodePageLacksNamesNoLogFolder) {
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  options.codePage = 1252;
  options.systemRoot = kit.Seen(kit.Root()).substr(0, 2) + "Āwindows";

  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 9);
  const std::string report = "QEDN40126-W An error occurred in I/O of the installation log file(" +
                             kit.Seen(kit.Root()).substr(0, 2) + "?installvorx_";
  EXPECT_EQ(run.output.substr(0, report.size()), report) << run.output;
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("Ainstallvorx").empty());
}

}  // namespace

std::string SavedAs(Saved saved, const std::string& utf8) {
  switch (saved) {
    case Saved::kUnicode:
      return "\xFF\xFE" + InCharset("UTF-16LE", utf8);
    case Saved::kUnicodeBigEndian:
      return "\xFE\xFF" + InCharset("UTF-16BE", utf8);
    case Saved::kUtf8WithMark:
      return "\xEF\xBB\xBF" + utf8;
    case Saved::kUtf8:
      return utf8;
    case Saved::kCodePage:
      break;
  }
  return InCodePage(1252, utf8);
}

std::vector<SavedFileCase> SavedFiles() {
  return {
      {"unicode_lacking", Saved::kUnicode, "VORX_INSTDIR=C:\\Ākit\r\n", "VORX_INSTDIR=C:\\?kit",
       false},
      {"unicode_lacking_address", Saved::kUnicode, "VORX_SNMPIPADDRESS=trap-hŁst\r\n",
       "VORX_SNMPIPADDRESS=trap-h?st", false},
      {"unicode_exact", Saved::kUnicode, "VORX_DBDIR=D:\\Größe\r\n",
       "/v/qr VORX_DBDIR=\"D:\\Größe\"", true},
      {"utf8_mark_lacking", Saved::kUtf8WithMark, "VORX_INSTDIR=C:\\Ākit\r\n",
       "VORX_INSTDIR=C:\\?kit", false},
      {"utf8_mark_exact", Saved::kUtf8WithMark, "VORX_DBDIR=D:\\Größe\r\n",
       "/v/qr VORX_DBDIR=\"D:\\Größe\"", true},
      {"utf8_without_mark", Saved::kUtf8, "VORX_DBDIR=D:\\Größe\r\n",
       "VORX_DBDIR=D:\\Gr\xC3\xB6\xC3\x9F"
       "e",
       false},
      {"code_page", Saved::kCodePage, "VORX_DBDIR=D:\\Größe\r\n", "/v/qr VORX_DBDIR=\"D:\\Größe\"",
       true},
      // Windows' own call reads no big-endian file; Wine's does, so both are held to this.
      {"unicode_big_endian", Saved::kUnicodeBigEndian, "VORX_DBDIR=D:\\Größe\r\n",
       "/v/qr VORX_DBDIR=\"D:\\Größe\"", true},
      {"unicode_replacement_character", Saved::kUnicode, "VORX_DBDIR=D:\\Gr\uFFFDe\r\n",
       "VORX_DBDIR=D:\\Gr?e", false},
      // With UTF-8 as the code page, the system reads a file without a mark as UTF-8, and each
      // byte of code page 1252 that is no UTF-8 as U+FFFD: a folder nobody named.
      {"utf8_code_page_utf8", Saved::kUtf8, "VORX_DBDIR=D:\\Größe\r\n",
       "/v/qr VORX_DBDIR=\"D:\\Größe\"", true, 65001},
      {"utf8_code_page_bytes_of_1252", Saved::kCodePage, "VORX_DBDIR=D:\\Größe\r\n",
       "VORX_DBDIR=D:\\Gr\uFFFD\uFFFDe", false, 65001},
      {"utf8_code_page_unicode_replacement_character", Saved::kUnicode,
       "VORX_IPADDRESS=h\uFFFDst\r\n", "VORX_IPADDRESS=h\uFFFDst", false, 65001},
  };
}

namespace {

class SavedFileTest : public CodePageTest, public ::testing::WithParamInterface<SavedFileCase> {};

// Every file starts with [VORX] on its first line, right after any byte-order mark.
TEST_P(SavedFileTest, AValueReachesTheLauncherAsWrittenOrTheFileIsRefused) {
  const SavedFileCase& c = GetParam();
  if (!RunsInCodePage(c.codePage)) GTEST_SKIP() << "not this host's code page";
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "inst.ini", SavedAs(c.saved, kVersion + kSettings + c.setting));
  RunOptions options;
  options.codePage = c.codePage;
  kit.UseCodePageOfTheCommands(c.codePage);

  const RunResult run = kit.Run({"/s", "/f", "inst.ini"}, options);
  if (c.accepted) {
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, kStart);
    EXPECT_EQ(kit.LauncherArgs(),
              kit.ExpectedLauncherArgs(InCodePage(LauncherCodePage(c.codePage), c.outcome)));
    return;
  }
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, InvalidDefinition(c.outcome));
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

INSTANTIATE_TEST_SUITE_P(Files, SavedFileTest, ::testing::ValuesIn(SavedFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

// The check's warnings quote the file's names and values; a UTF-8 text is taken as UTF-8 once.
TEST_F(CodePageTest, In1252TheChecksWarningsShowAUnicodeFilesTextAsWritten) {
  const std::string warning =
      "VORX_DBDIR: \"Größe\" is not an absolute Windows path (such as C:\\VORX)";
  for (const Saved saved : {Saved::kUnicode, Saved::kUtf8WithMark}) {
    Case kit;
    Case::WriteFile(kit.Root() / "inst.ini",
                    SavedAs(saved, kVersion + kSettings + "VORX_DBDIR=Größe\r\n"));
    RunOptions options;
    options.codePage = 1252;
    const RunResult json = kit.Check({"--json", "inst.ini"}, options);
    nlohmann::json report;
    ASSERT_NO_THROW(report = nlohmann::json::parse(json.output)) << json.output;
    EXPECT_EQ(report.at(0).at("warnings").at(1).at("text"), warning) << json.output;
    const RunResult text = kit.Check({"inst.ini"}, options);
    EXPECT_NE(text.output.find("warning, line 4: " + InCodePage(1252, warning)), std::string::npos)
        << ToUtf8(text.output, 1252);
  }
}

}  // namespace
}  // namespace e2e
