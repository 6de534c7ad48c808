#include "settings/property_string.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/command_line.h"
#include "support/code_page_932.h"

namespace ivx {
namespace {

using testing::IsLeadByte932;
using testing::kHyo;
using testing::kSo;

const SettingKey& Key(std::string_view name) {
  for (const SettingKey& key : kSettingKeys) {
    if (key.name == name) return key;
  }
  throw std::invalid_argument(std::string(name));
}

struct PieceCase {
  std::string key;
  std::string value;
  std::optional<std::string> piece;  // nullopt: the value is invalid
  LeadByteTest isLead = NoLeadBytes;
};

TEST(PropertyPiece, ValidatesAndQuotesEachKindOfValue) {
  const PieceCase cases[] = {
      // directories: quoted for the launcher; a folder that kept its own enclosing pair is
      // placed as the folder between them
      {"VORX_DBDIR", "D:\\VORX\\data", " VORX_DBDIR=\\\"D:\\VORX\\data\\\""},
      {"VORX_INSTDIR", "C:\\Program Files\\VORX", " VORX_INSTDIR=\\\"C:\\Program Files\\VORX\\\""},
      {"VORX_DBDIR", "\"D:\\x\"", " VORX_DBDIR=\\\"D:\\x\\\""},
      {"VORX_DBDIR", "\"a\"", " VORX_DBDIR=\\\"a\\\""},
      {"VORX_INSTDIR", "a", " VORX_INSTDIR=\\\"a\\\""},
      // a backslash right before a quotation mark is doubled so that it arrives
      {"VORX_INSTDIR", "C:\\VORX\\", " VORX_INSTDIR=\\\"C:\\VORX\\\\\\\""},
      {"VORX_INSTDIR", "\"C:\\VORX\\\"", " VORX_INSTDIR=\\\"C:\\VORX\\\\\\\""},
      // code page 932: the second byte of a character is no backslash, even when it is 0x5C
      {"VORX_INSTDIR", "C:\\VORX\\" + kHyo, " VORX_INSTDIR=\\\"C:\\VORX\\" + kHyo + "\\\"",
       IsLeadByte932},
      {"VORX_DBDIR", "D:\\" + kSo + "\\", " VORX_DBDIR=\\\"D:\\" + kSo + "\\\\\\\"", IsLeadByte932},
      {"VORX_IPADDRESS", "a " + kHyo, " VORX_IPADDRESS=\\\"a " + kHyo + "\\\"", IsLeadByte932},
      {"VORX_INSTDIR", "\"", std::nullopt},
      {"VORX_INSTDIR", "\"\"", std::nullopt},
      {"VORX_INSTDIR", "\"C:\\x", std::nullopt},
      {"VORX_INSTDIR", "C:\\x\"", std::nullopt},
      {"VORX_INSTDIR", "C:\\a\"b", std::nullopt},
      {"VORX_INSTDIR", "a\"b", std::nullopt},
      {"VORX_DBDIR", "\"a\"b\"", std::nullopt},
      // addresses: quoted when they hold a blank; no quotation mark at all
      {"VORX_IPADDRESS", "192.168.0.1", " VORX_IPADDRESS=192.168.0.1"},
      {"VORX_IPADDRESS", "host a", " VORX_IPADDRESS=\\\"host a\\\""},
      {"VORX_SNMPIPADDRESS", "a b\\", " VORX_SNMPIPADDRESS=\\\"a b\\\\\\\""},
      {"VORX_SNMPIPADDRESS", "::1", " VORX_SNMPIPADDRESS=::1"},
      {"VORX_IPADDRESS", "a\"b", std::nullopt},
      {"VORX_SNMPIPADDRESS", "\"a b\"", std::nullopt},
      // ports: decimal digits, no range
      {"VORX_PORT", "8080", " VORX_PORT=8080"},
      {"VORX_PORT", "0", " VORX_PORT=0"},
      {"VORX_SNMPTRAPPORT", "0000099999999999", " VORX_SNMPTRAPPORT=0000099999999999"},
      {"VORX_PORT", "80a", std::nullopt},
      {"VORX_PORT", "a80", std::nullopt},
      {"VORX_PORT", "-1", std::nullopt},
      {"VORX_PORT", "+1", std::nullopt},
      {"VORX_PORT", "8 0", std::nullopt},
      {"VORX_SNMPTRAPPORT", "\xD9\xA1", std::nullopt},
      // switches: TRUE or FALSE in any letter case, passed on in upper case
      {"VORX_SNMPTRAP", "true", " VORX_SNMPTRAP=TRUE"},
      {"VORX_SNMPTRAP", "False", " VORX_SNMPTRAP=FALSE"},
      {"VORX_RUNSERVICE", "TRUE", " VORX_RUNSERVICE=TRUE"},
      {"VORX_SNMPTRAP", "on", std::nullopt},
      {"VORX_SNMPTRAP", "yes", std::nullopt},
      {"VORX_RUNSERVICE", "1", std::nullopt},
      {"VORX_RUNSERVICE", "TRUE ", std::nullopt},
      {"VORX_RUNSERVICE", "TRU", std::nullopt},
      {"VORX_PORT", "", std::nullopt},
  };
  for (const PieceCase& c : cases) {
    EXPECT_EQ(PropertyPiece(Key(c.key), c.value, c.isLead), c.piece) << c.key << "=" << c.value;
    EXPECT_EQ(InvalidReason(Key(c.key), c.value).empty(), c.piece || c.value.empty())
        << c.key << "=" << c.value;
  }
}

TEST(Version, AcceptsTheProductVersionAndLeadingPartsOfIt) {
  for (const char* accepted : {"6.1.0-00", "6", "6.1", "6.1.0-0"}) {
    EXPECT_TRUE(IsSupportedVersion(accepted)) << accepted;
  }
  for (const char* refused : {"", "6.1.0-001", "6.2", "6.1.0-01", "7.0.0-00", " 6.1", "6.1 "}) {
    EXPECT_FALSE(IsSupportedVersion(refused)) << refused;
  }
}

PropertyString Build(const std::map<std::string, std::string>& values,
                     KeysRead keysRead = KeysRead::kUntilFirstInvalid,
                     LeadByteTest isLead = NoLeadBytes) {
  return MakePropertyString(
      [&values](std::string_view key) {
        const auto found = values.find(std::string(key));
        return found == values.end() ? std::string() : found->second;
      },
      isLead, keysRead);
}

TEST(PropertyString, IsTheStartTextAndTheClosingMarkWhenNothingIsSet) {
  const PropertyString built = Build({{"VORX_PORT", ""}});
  ASSERT_TRUE(built.Valid());
  EXPECT_EQ(built.text, "/v\"/qr\"");
}

TEST(PropertyString, AppendsThePiecesInTheOrderOfTheKeys) {
  const PropertyString built = Build({{"VORX_PORT", "8080"},
                                      {"VORX_RUNSERVICE", "false"},
                                      {"VORX_INSTDIR", "C:\\Program Files\\VORX"}});
  ASSERT_TRUE(built.Valid());
  EXPECT_EQ(built.text,
            "/v\"/qr VORX_INSTDIR=\\\"C:\\Program Files\\VORX\\\" VORX_PORT=8080 "
            "VORX_RUNSERVICE=FALSE\"");
}

TEST(PropertyString, DoublesBackslashesBeforeTheClosingMark) {
  const PropertyString built = Build({{"VORX_SNMPIPADDRESS", "a\\\\"}});
  EXPECT_EQ(built.text, "/v\"/qr VORX_SNMPIPADDRESS=a\\\\\\\\\"");
  // code page 932: the second byte of a character is no backslash, even when it is 0x5C
  EXPECT_EQ(Build({{"VORX_SNMPIPADDRESS", kHyo}}, KeysRead::kUntilFirstInvalid, IsLeadByte932).text,
            "/v\"/qr VORX_SNMPIPADDRESS=" + kHyo + "\"");
}

TEST(PropertyString, TheFirstInvalidValueEndsTheReadingAndIsNamedAsRead) {
  std::vector<std::string> asked;
  const PropertyString built = MakePropertyString([&asked](std::string_view key) {
    asked.emplace_back(key);
    return key == "VORX_SNMPTRAP" ? std::string("On") : std::string("1");
  });
  ASSERT_EQ(built.invalid.size(), 1u);
  EXPECT_EQ(built.invalid.front().Text(), "VORX_SNMPTRAP=On");
  EXPECT_EQ(asked.back(), "VORX_SNMPTRAP");
  EXPECT_EQ(asked.size(), 5u);
}

TEST(PropertyString, EveryInvalidValueIsReportedWithItsReasonWhenAsked) {
  const PropertyString built =
      Build({{"VORX_PORT", "80a"}, {"VORX_SNMPTRAP", "On"}, {"VORX_RUNSERVICE", "true"}},
            KeysRead::kEvery);
  ASSERT_EQ(built.invalid.size(), 2u);
  EXPECT_EQ(built.invalid[0].Text(), "VORX_PORT=80a");
  EXPECT_EQ(built.invalid[0].reason, InvalidReason(Key("VORX_PORT"), "80a"));
  EXPECT_EQ(built.invalid[1].Text(), "VORX_SNMPTRAP=On");
  EXPECT_EQ(built.text, "");
}

// What counts for the launcher: its C runtime makes one argument of the property string,
// "/v/qr" followed by each key set and its value as intended, and no value can add or
// remove an argument.
TEST(PropertyString, ReachesTheLauncherAsOneArgumentWithEveryValueIntact) {
  const std::map<std::string, std::string> values = {{"VORX_INSTDIR", "C:\\Program Files\\VORX\\"},
                                                     {"VORX_DBDIR", "\"D:\\db dir\\\\\""},
                                                     {"VORX_IPADDRESS", "a\\\\ b\\"},
                                                     {"VORX_PORT", "1"},
                                                     {"VORX_SNMPTRAP", "tRuE"},
                                                     {"VORX_SNMPIPADDRESS", "x\\y\\\\"},
                                                     {"VORX_RUNSERVICE", "false"}};
  const PropertyString built = Build(values);
  ASSERT_TRUE(built.Valid());
  const std::vector<std::string> args = SplitCommandLine("\"setup.exe\" /s " + built.text + " ");
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[2],
            "/v/qr VORX_INSTDIR=\"C:\\Program Files\\VORX\\\" VORX_DBDIR=\"D:\\db dir\\\\\" "
            "VORX_IPADDRESS=\"a\\\\ b\\\" VORX_PORT=1 VORX_SNMPTRAP=TRUE "
            "VORX_SNMPIPADDRESS=x\\y\\\\ VORX_RUNSERVICE=FALSE");
}

}  // namespace
}  // namespace ivx
