#include "check/warnings.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ivx::check {
namespace {

using namespace std::string_literals;

const std::string kVersion = "[VORX]\r\nvorxversion=6.1.0-00\r\n";
const std::string kSettings = "[INSTALLATION_SETTINGS]\r\n";

struct WarningCase {
  std::string text;
  std::vector<std::string> warnings;  // "line: text"
};

std::vector<std::string> Scanned(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> found;
  for (const Warning& w : ScanWarnings(in).warnings) {
    found.push_back(std::to_string(w.line) + ": " + w.text);
  }
  return found;
}

TEST(Warnings, NameWhatTheInstallationPassesOverOrReadsOtherwiseThanMeant) {
  const WarningCase cases[] = {
      {kVersion + kSettings + "VORX_INSTDIR=C:\\VORX\r\nvorx_port=80\r\n; VORX_PORT=81\r\n", {}},
      {kVersion + kSettings + "VORX_INSTALLDIR=D:\\VORX\r\n",
       {"4: unknown key VORX_INSTALLDIR in section [INSTALLATION_SETTINGS]; did you mean "
        "VORX_INSTDIR?"}},
      {kVersion + kSettings + "COLOUR=blue\r\n",
       {"4: unknown key COLOUR in section [INSTALLATION_SETTINGS]"}},
      {"[VORX]\r\nvorx_version=6.1.0-00\r\n",
       {"2: unknown key vorx_version in section [VORX]; did you mean vorxversion?"}},
      {kVersion + "VORX_PORT=80\r\n" + kSettings + "vorxversion=6.1.0-00\r\n",
       {"3: VORX_PORT is not read in this section; it belongs in section "
        "[INSTALLATION_SETTINGS]",
        "5: vorxversion is not read in this section; it belongs in section [VORX]"}},
      {"VORX_PORT=80\r\n" + kVersion + "[Notes]\r\nvorxversion=1\r\nanything=1\r\n",
       {"1: VORX_PORT is not read here; it belongs in section [INSTALLATION_SETTINGS]",
        "5: vorxversion is not read here; it belongs in section [VORX]"}},
      {kVersion + "[INSTALATION_SETTINGS]\r\nVORX_PORT=80\r\n[INSTALLATION_SETTINGS\r\n",
       {"3: section [INSTALATION_SETTINGS] is not read; did you mean [INSTALLATION_SETTINGS]?",
        "4: VORX_PORT is not read here; it belongs in section [INSTALLATION_SETTINGS]",
        "5: a \"[\" without \"]\" names no section; the line is not read"}},
      {kVersion + kSettings + "VORX_PORT=80\r\nVORX_PORT=81\r\n[vorx]\r\nvorxversion=7\r\n",
       {"5: VORX_PORT repeats line 4; only the first is read",
        "6: section [vorx] repeats the one on line 1; only the first is read"}},
      {"[VORX]\r\nvorxversion=6.1\r\n",
       {"2: vorxversion=6.1 is taken for 6.1.0-00 as a leading part of it; write 6.1.0-00"}},
      {kVersion + kSettings + "VORX_IPADDRESS=" + std::string(1100, '1') + "\r\n",
       {"4: VORX_IPADDRESS: the value is longer than 1023 characters and is cut there"}},
      {kVersion + kSettings + "VORX_IPADDRESS=10.0.0.1 ; the server\r\n",
       {"4: VORX_IPADDRESS: the \";\" is part of the value; a comment needs a line of its own"}},
      {kVersion + kSettings + "VORX_PORT=65535\r\nVORX_SNMPTRAPPORT=0065536\r\n",
       {"5: VORX_SNMPTRAPPORT: port 0065536 is above 65535"}},
      {kVersion + kSettings + "VORX_PORT=123456789012345678901234567890\r\n",
       {"4: VORX_PORT: port 123456789012345678901234567890 is above 65535"}},
      {kVersion + kSettings + "VORX_INSTDIR=\"\"C:\\a b\"\"\r\nVORX_DBDIR=\\\\srv\\share\\db\r\n",
       {}},
      {kVersion + kSettings + "VORX_INSTDIR=VORX\r\nVORX_DBDIR=D:data\r\n",
       {"4: VORX_INSTDIR: \"VORX\" is not an absolute Windows path (such as C:\\VORX)",
        "5: VORX_DBDIR: \"D:data\" is not an absolute Windows path (such as C:\\VORX)"}},
      // UTF-8 without a byte-order mark, which Windows would read in its code page
      {kVersion + kSettings + "VORX_INSTDIR=C:\\Programme\\Gr\xC3\xBC\x6E\r\n",
       {"4: VORX_INSTDIR: the value is UTF-8 in a file without a UTF-8 byte-order mark; Windows "
        "reads such a file in its code page and refuses the value: save the file as UTF-8 with "
        "a byte-order mark, or as Unicode"}},
      {"\xEF\xBB\xBF" + kVersion + kSettings + "VORX_INSTDIR=C:\\Programme\\Gr\xC3\xBC\x6E\r\n",
       {"4: VORX_INSTDIR: the value holds characters outside ASCII; the launcher receives them "
        "in the system's code page"}},
      // bytes of a code page, which a Windows host in UTF-8 reads as U+FFFD
      {kVersion + kSettings + "VORX_INSTDIR=C:\\Programme\\Gr\xFC\x6E\r\n",
       {"4: VORX_INSTDIR: the value's characters outside ASCII are not UTF-8; a Windows host "
        "whose code page is UTF-8 (65001) reads each as U+FFFD and refuses the value: save the "
        "file as UTF-8 with a byte-order mark, or as Unicode"}},
      {"\xEF\xBB\xBF" + kVersion + kSettings + "VORX_INSTDIR=C:\\Programme\\Gr\xFC\x6E\r\n",
       {"4: VORX_INSTDIR: the value is not valid UTF-8 although the file is marked as UTF-8; "
        "Windows refuses the value: save the file as UTF-8 again"}},
      // an invalid value is a problem of the verdict, not a warning
      {kVersion + kSettings + "VORX_PORT=8 0\r\nVORX_INSTDIR=a\"b\r\n", {}},
      // lines counted in a UTF-16 file
      {"\xFF\xFE[\0V\0O\0R\0X\0]\0\r\0\n\0v\0o\0r\0x\0v\0e\0r\0s\0i\0o\0n\0=\0\x36\0\r\0\n\0"s,
       {"2: vorxversion=6 is taken for 6.1.0-00 as a leading part of it; write 6.1.0-00"}},
  };
  for (const WarningCase& c : cases) {
    EXPECT_EQ(Scanned(c.text), c.warnings) << c.text;
  }
}

// A file of any size: the warnings kept do not grow with it.
TEST(Warnings, ListTheFirstHundredAndCountTheRest) {
  std::string text = kVersion + kSettings;
  for (int i = 0; i < 250; ++i) text += "COLOUR=blue\r\n";
  const std::vector<std::string> found = Scanned(text);
  ASSERT_EQ(found.size(), 101u);
  EXPECT_EQ(found[99], "103: unknown key COLOUR in section [INSTALLATION_SETTINGS]");
  EXPECT_EQ(found[100], "104: 150 more warnings from this line on are not listed");
}

// The texts of the warnings hold the file's names and values: in UTF-8 when the file is.
TEST(Warnings, TellWhetherTheirTextsAreUtf8) {
  const std::pair<std::string, bool> cases[] = {
      {kVersion, false},
      {"\xEF\xBB\xBF" + kVersion, true},
      {"\xFF\xFE[\0V\0O\0R\0X\0]\0"s, true},
  };
  for (const auto& [text, utf8] : cases) {
    std::istringstream in(text);
    EXPECT_EQ(ScanWarnings(in).utf8, utf8) << text;
  }
}

}  // namespace
}  // namespace ivx::check
