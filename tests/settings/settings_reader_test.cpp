#include "settings/settings_reader.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

class SettingsReaderTest : public ::testing::Test {
 protected:
  // The property string, or the message the refusal prints.
  std::string Read(const std::string& text) {
    fake.files.files["C:\\work\\inst.ini"] = text;
    const SettingsFile file(fake.files, PathStyle::kWindows, "inst.ini", "C:\\work\\");
    const SettingsVerdict verdict = BuildPropertyString(file, NoLeadBytes);
    return verdict.Accepted() ? verdict.propertyString : verdict.Message();
  }
  testing::FakePlatform fake;
};

const std::string kVersion = "[VORX]\r\nvorxversion=6.1.0-00\r\n";

TEST_F(SettingsReaderTest, AFileWithOnlyTheVersionGivesTheEmptyPropertyString) {
  EXPECT_EQ(Read(kVersion), "/v\"/qr\"");
}

TEST_F(SettingsReaderTest, AMissingFileIsRejected) {
  const SettingsFile file(fake.files, PathStyle::kWindows, "none.ini", "C:\\work\\");
  EXPECT_EQ(file.FullPath(), "C:\\work\\none.ini");
  const SettingsVerdict verdict = BuildPropertyString(file, NoLeadBytes);
  EXPECT_EQ(verdict.refusal, SettingsVerdict::Refusal::kMissingFile);
  EXPECT_EQ(verdict.Message(), msg::kSettingsFileMissing);
}

TEST_F(SettingsReaderTest, AMissingOrUnsupportedVersionIsRejectedNamingTheSupportedOne) {
  const std::string texts[] = {
      "",
      "[VORX]\r\n",
      "[VORX]\r\nvorxversion=\r\n",
      "[VORX]\r\nvorxversion=7.0.0-00\r\n",
      "[VORX]\r\nvorxversion=6.1.0-001\r\n",
      "[INSTALLATION_SETTINGS]\r\nvorxversion=6.1.0-00\r\n",
  };
  for (const std::string& text : texts) {
    EXPECT_EQ(Read(text),
              "QEDN40122-W An installation information settings file of an unsupported product "
              "version is specified. (vorxversion=6.1.0-00)\n")
        << text;
  }
}

TEST_F(SettingsReaderTest, AnInvalidValueIsNamedWithTheKeyAndTheValueAsWritten) {
  EXPECT_EQ(Read(kVersion + "[INSTALLATION_SETTINGS]\r\nVORX_PORT=8080\r\nvorx_snmptrap=On\r\n"),
            "QEDN40123-W A definition in the installation information "
            "settings file is invalid. (VORX_SNMPTRAP=On)\n");
}

struct ReadAsCase {
  std::string lacking;  // a character that the code page lacks
  bool readInCodePage;  // the file's bytes are taken in a code page that is not UTF-8
  std::string settings;
  std::string result;
};

// A value reaches the launcher as the file's author wrote it, or not at all: never a
// look-alike in place of a character that the code page lacks, never UTF-8 read in a code page,
// never the replacement character.
TEST_F(SettingsReaderTest, AValueThatCannotReachTheLauncherAsWrittenIsInvalid) {
  const std::string invalid =
      "QEDN40123-W A definition in the installation information settings file is invalid. (";
  const ReadAsCase cases[] = {
      {"\xC4\x80", false, "VORX_INSTDIR=C:\\\xC4\x80kit\r\n", invalid + "VORX_INSTDIR=C:\\?kit)\n"},
      {"\xC5\x81", false, "VORX_SNMPIPADDRESS=trap-h\xC5\x81st\r\n",
       invalid + "VORX_SNMPIPADDRESS=trap-h?st)\n"},
      {"\xC4\x80", false,
       "VORX_DBDIR=D:\\Gr\xC3\xB6\xC3\x9F"
       "e\r\n",
       "/v\"/qr VORX_DBDIR=\\\"D:\\Gr\xC3\xB6\xC3\x9F"
       "e\\\"\""},
      {"", true,
       "VORX_DBDIR=D:\\Gr\xC3\xB6\xC3\x9F"
       "e\r\n",
       invalid + "VORX_DBDIR=D:\\Gr\xC3\xB6\xC3\x9F"
                 "e)\n"},
      {"", true,
       "VORX_DBDIR=D:\\Gr\xF6\xDF"
       "e\r\n",
       "/v\"/qr VORX_DBDIR=\\\"D:\\Gr\xF6\xDF"
       "e\\\"\""},
      {"", true, "VORX_DBDIR=D:\\Gr\xC3\xB6\xF6\r\n",
       "/v\"/qr VORX_DBDIR=\\\"D:\\Gr\xC3\xB6\xF6\\\"\""},
      // U+FFFD stands for bytes that were no text: a folder or host nobody named
      {"", false,
       "VORX_DBDIR=D:\\Gr\xEF\xBF\xBD\xEF\xBF\xBD"
       "e\r\n",
       invalid + "VORX_DBDIR=D:\\Gr\xEF\xBF\xBD\xEF\xBF\xBD"
                 "e)\n"},
      {"", false, "VORX_IPADDRESS=\xEF\xBF\xBD.example\r\n",
       invalid + "VORX_IPADDRESS=\xEF\xBF\xBD.example)\n"},
      // the first value that cannot be used is named, whatever makes it so
      {"\xC4\x80", false, "VORX_PORT=\xC4\x80\r\nVORX_DBDIR=\xC4\x80\r\n",
       invalid + "VORX_DBDIR=?)\n"},
      {"", true, "VORX_INSTDIR=C:\\\xC3\xB6\r\nVORX_PORT=x\r\n",
       invalid + "VORX_INSTDIR=C:\\\xC3\xB6)\n"},
  };
  for (const ReadAsCase& c : cases) {
    fake.files.lacking = c.lacking;
    fake.files.readInCodePage = c.readInCodePage;
    EXPECT_EQ(Read(kVersion + "[INSTALLATION_SETTINGS]\r\n" + c.settings), c.result) << c.settings;
  }
}

TEST_F(SettingsReaderTest, KeysWithEmptyValuesAreSkipped) {
  EXPECT_EQ(Read(kVersion + "[INSTALLATION_SETTINGS]\r\nVORX_PORT=\r\nVORX_RUNSERVICE=true\r\n"),
            "/v\"/qr VORX_RUNSERVICE=TRUE\"");
}

}  // namespace
}  // namespace ivx
