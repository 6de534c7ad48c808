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
    const CSettingsFile file(fake.files, PathStyle::kWindows, "inst.ini", "C:\\work\\");
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
  const CSettingsFile file(fake.files, PathStyle::kWindows, "none.ini", "C:\\work\\");
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

TEST_F(SettingsReaderTest, KeysWithEmptyValuesAreSkipped) {
  EXPECT_EQ(Read(kVersion + "[INSTALLATION_SETTINGS]\r\nVORX_PORT=\r\nVORX_RUNSERVICE=true\r\n"),
            "/v\"/qr VORX_RUNSERVICE=TRUE\"");
}

}  // namespace
}  // namespace ivx
