// The settings file from the command line to the launcher's last argument.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings_tables.h"
#include "texts.h"

namespace e2e {
namespace {

using namespace std::string_literals;

const std::string kLong(1500, 'd');

}  // namespace

std::vector<FileCase> AcceptedFiles() {
  return {
      FileCase{"only_version", kVersion, "/v/qr"},
      FileCase{"every_key",
               kVersion + kSettings +
                   "VORX_INSTDIR=C:\\Program Files\\VORX\\\r\nVORX_DBDIR=D:\\db\r\n"
                   "VORX_IPADDRESS=192.168.0.1\r\nVORX_PORT=8080\r\nVORX_SNMPTRAP=true\r\n"
                   "VORX_SNMPIPADDRESS=host a\r\nVORX_SNMPTRAPPORT=162\r\n"
                   "VORX_RUNSERVICE=False\r\n",
               "/v/qr VORX_INSTDIR=\"C:\\Program Files\\VORX\\\" VORX_DBDIR=\"D:\\db\" "
               "VORX_IPADDRESS=192.168.0.1 VORX_PORT=8080 VORX_SNMPTRAP=TRUE "
               "VORX_SNMPIPADDRESS=\"host a\" VORX_SNMPTRAPPORT=162 VORX_RUNSERVICE=FALSE"},
      FileCase{"order_of_keys_not_file",
               kVersion + kSettings + "VORX_RUNSERVICE=true\r\nVORX_PORT=1\r\n",
               "/v/qr VORX_PORT=1 VORX_RUNSERVICE=TRUE"},
      FileCase{"letter_case_and_blanks",
               "[ vorx ]\r\n  VorxVersion = 6.1.0-00  \r\n[installation_settings]\r\n"
               "\tvorx_port\t=\t 443 \r\n",
               "/v/qr VORX_PORT=443"},
      FileCase{"lf_and_no_final_newline",
               "[VORX]\nvorxversion=6.1\n[INSTALLATION_SETTINGS]\nVORX_PORT=7",
               "/v/qr VORX_PORT=7"},
      FileCase{"enclosing_quotes_of_both_kinds",
               kVersion + kSettings +
                   "VORX_INSTDIR=\"C:\\a b\"\r\nVORX_DBDIR='D:\\c d'\r\n"
                   "VORX_IPADDRESS='x y'\r\nVORX_SNMPTRAP=\"TRUE\"\r\n",
               "/v/qr VORX_INSTDIR=\"C:\\a b\" VORX_DBDIR=\"D:\\c d\" VORX_IPADDRESS=\"x y\" "
               "VORX_SNMPTRAP=TRUE"},
      FileCase{"a_folder_in_doubled_quotes_arrives_as_the_folder",
               kVersion + kSettings + "VORX_INSTDIR=\"\"C:\\x\"\"\r\n",
               "/v/qr VORX_INSTDIR=\"C:\\x\""},
      FileCase{"duplicates_first_wins",
               kVersion + kSettings +
                   "VORX_PORT=1\r\nVORX_PORT=2\r\n[INSTALLATION_SETTINGS]\r\n"
                   "VORX_RUNSERVICE=TRUE\r\n",
               "/v/qr VORX_PORT=1"},
      FileCase{"comments_and_other_sections",
               "; settings\r\n[OTHER]\r\nVORX_PORT=9\r\n" + kVersion + kSettings +
                   ";VORX_PORT=1\r\n# note\r\nVORX_IPADDRESS=a;b ; c\r\nVORX_DBDIR=\r\n",
               "/v/qr VORX_IPADDRESS=\"a;b ; c\""},
      FileCase{"utf8_bom", "\xEF\xBB\xBF" + kVersion + kSettings + "VORX_PORT=5\r\n",
               "/v/qr VORX_PORT=5"},
      FileCase{"utf16_bom",
               "\xFF\xFE[\0V\0O\0R\0X\0]\0\r\0\n\0v\0o\0r\0x\0v\0e\0r\0s\0i\0o\0n\0=\0"
               "6\0.\0001\0\r\0\n\0[\0I\0N\0S\0T\0A\0L\0L\0A\0T\0I\0O\0N\0_\0S\0E\0T\0T\0"
               "I\0N\0G\0S\0]\0\r\0\n\0V\0O\0R\0X\0_\0P\0O\0R\0T\0=\0001\0\r\0\n\0"s,
               "/v/qr VORX_PORT=1"},
      FileCase{"backslashes_before_quotes",
               kVersion + kSettings + "VORX_INSTDIR=\"C:\\a\\\\\"\r\nVORX_SNMPIPADDRESS=x\\\\\r\n",
               "/v/qr VORX_INSTDIR=\"C:\\a\\\\\" VORX_SNMPIPADDRESS=x\\\\"},
      FileCase{"long_value_cut_to_1023", kVersion + kSettings + "VORX_INSTDIR=" + kLong + "\r\n",
               "/v/qr VORX_INSTDIR=\"" + kLong.substr(0, 1023) + "\""}};
}

std::vector<RejectedCase> RejectedVersions() {
  return {RejectedCase{"empty_file", "", kUnsupported},
          RejectedCase{"no_version", "[VORX]\r\n", kUnsupported},
          RejectedCase{"empty_version", "[VORX]\r\nvorxversion=\r\n", kUnsupported},
          RejectedCase{"newer", "[VORX]\r\nvorxversion=7.0.0-00\r\n", kUnsupported},
          RejectedCase{"longer", "[VORX]\r\nvorxversion=6.1.0-001\r\n", kUnsupported},
          RejectedCase{"patch", "[VORX]\r\nvorxversion=6.1.0-01\r\n", kUnsupported},
          RejectedCase{"wrong_section", "[INSTALLATION_SETTINGS]\r\nvorxversion=6.1.0-00\r\n",
                       kUnsupported}};
}

std::vector<RejectedCase> RejectedDefinitions() {
  return {RejectedCase{"instdir_quote", kVersion + kSettings + "VORX_INSTDIR=C:\\a\"b\r\n",
                       InvalidDefinition("VORX_INSTDIR=C:\\a\"b")},
          RejectedCase{"dbdir_half_quoted", kVersion + kSettings + "VORX_DBDIR=\"D:\\x\r\n",
                       InvalidDefinition("VORX_DBDIR=\"D:\\x")},
          RejectedCase{"ipaddress_quote", kVersion + kSettings + "VORX_IPADDRESS=a\"b\r\n",
                       InvalidDefinition("VORX_IPADDRESS=a\"b")},
          RejectedCase{"port_letters", kVersion + kSettings + "VORX_PORT=80a\r\n",
                       InvalidDefinition("VORX_PORT=80a")},
          RejectedCase{"snmptrap_on", kVersion + kSettings + "VORX_SNMPTRAP=on\r\n",
                       InvalidDefinition("VORX_SNMPTRAP=on")},
          RejectedCase{"snmpipaddress_quote", kVersion + kSettings + "VORX_SNMPIPADDRESS=x \"y\r\n",
                       InvalidDefinition("VORX_SNMPIPADDRESS=x \"y")},
          RejectedCase{"trapport_sign", kVersion + kSettings + "VORX_SNMPTRAPPORT=-162\r\n",
                       InvalidDefinition("VORX_SNMPTRAPPORT=-162")},
          // U+FFFD: Linux reads its bytes as the character, Windows as UTF-8 without the mark
          RejectedCase{"dbdir_replacement_character",
                       kVersion + kSettings + "VORX_DBDIR=D:\\\xEF\xBF\xBD\r\n",
                       InvalidDefinition("VORX_DBDIR=D:\\\xEF\xBF\xBD")},
          RejectedCase{"runservice_after_valid_keys",
                       kVersion + kSettings + "VORX_PORT=1\r\nVORX_RUNSERVICE=Yes\r\n",
                       InvalidDefinition("VORX_RUNSERVICE=Yes")}};
}

namespace {

class SettingsFileTest : public ::testing::TestWithParam<FileCase> {};

// Both builds must read every file alike: the Windows build through the system's profile
// call, the Linux build through its own reader.
TEST_P(SettingsFileTest, ReachesTheLauncherAsItsLastArgument) {
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "inst.ini", GetParam().text);
  const RunResult run = kit.Run({"/s", "/f", "inst.ini"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, kStart);
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs(GetParam().lastArgument));
}

INSTANTIATE_TEST_SUITE_P(Corpus, SettingsFileTest, ::testing::ValuesIn(AcceptedFiles()));

class RejectedFileTest : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedFileTest, EndsWith2BeforeTheLauncherOrTheLog) {
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "inst.ini", GetParam().text);
  const RunResult run = kit.Run({"/f", "inst.ini", "/s"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, GetParam().message);
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, RejectedFileTest, ::testing::ValuesIn(RejectedVersions()));
INSTANTIATE_TEST_SUITE_P(Definitions, RejectedFileTest, ::testing::ValuesIn(RejectedDefinitions()));

TEST(SettingsFile, IsFoundByARelativeOrAnAbsoluteName) {
  Case kit;
  kit.UseFakeLauncher();
  fs::create_directories(kit.Root() / "cfg");
  Case::WriteFile(kit.Root() / "cfg" / "inst.ini", kVersion + kSettings + "VORX_PORT=3\r\n");
  const std::string relative = UnderWine() ? "cfg\\inst.ini" : "cfg/inst.ini";
  std::vector<std::string> names = {relative, kit.Seen(kit.Root() / "cfg" / "inst.ini")};
  if (UnderWine()) {
    names.push_back("\\cfg\\inst.ini");  // from the root of the current drive
    names.push_back(kit.Seen(kit.Root()).substr(0, 2) + "cfg\\inst.ini");  // "K:cfg\inst.ini"
  }
  for (const std::string& name : names) {
    const RunResult run = kit.Run({"/s", "/f", name});
    EXPECT_EQ(run.status, 0) << name << ": " << run.output;
    EXPECT_EQ(kit.LauncherArgs().back(), "/v/qr VORX_PORT=3") << name;
  }
}

TEST(SettingsFile, AMissingFileOrAFolderDoesNotExist) {
  Case kit;
  kit.UseFakeLauncher();
  fs::create_directories(kit.Root() / "folder.ini");
  for (const std::string name : {"none.ini", "folder.ini"}) {
    const RunResult run = kit.Run({"/s", "/f", name});
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.output, kMissing) << name;
  }
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

TEST(SettingsFile, IsCheckedBeforeTheLauncherIsLookedFor) {
  Case kit;  // no setup.exe
  const RunResult run = kit.Run({"/s", "/f", "none.ini"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, kMissing);
}

}  // namespace
}  // namespace e2e
