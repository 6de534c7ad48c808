#include "check/engine_properties.h"

#include <gtest/gtest.h>

#include "check/report.h"

namespace ivx::check {
namespace {

struct PropertiesCase {
  std::string launcherArgument;
  EngineProperties properties;
};

TEST(EngineProperties, AreReadFromTheLauncherArgumentByTheInstallersRules) {
  const PropertiesCase cases[] = {
      {"/v/qr", {}},
      {"/v/qr VORX_PORT=20080 VORX_RUNSERVICE=TRUE",
       {{"VORX_PORT", "20080"}, {"VORX_RUNSERVICE", "TRUE"}}},
      // Blanks separate pieces, however many; a quoted value runs across them.
      {"/v/qr  VORX_PORT=1\tVORX_INSTDIR=\"C:\\Program Files\\VORX\"  ",
       {{"VORX_PORT", "1"}, {"VORX_INSTDIR", "C:\\Program Files\\VORX"}}},
      // No backslash escapes: a backslash before the closing mark is the value's own.
      {"/v/qr VORX_INSTDIR=\"D:\\x\\\" VORX_DBDIR=\"D:\\y\\\\\" VORX_IPADDRESS=h\\",
       {{"VORX_INSTDIR", "D:\\x\\"}, {"VORX_DBDIR", "D:\\y\\\\"}, {"VORX_IPADDRESS", "h\\"}}},
      // Two marks inside quotes stand for one.
      {"/v/qr A=\"a \"\"b\"\" c\"", {{"A", "a \"b\" c"}}},
      {"/v/qr A=\"\"", {{"A", ""}}},
      {"/v/qr A=\"open to the end", {{"A", "open to the end"}}},
      // Text that means something elsewhere means nothing here.
      {"/v/qr A=%PATH%;&^'|<>[ProductName] B=a=b",
       {{"A", "%PATH%;&^'|<>[ProductName]"}, {"B", "a=b"}}},
      // A quoted value that looks like more properties is one value.
      {"/v/qr A=\"x B=y\"", {{"A", "x B=y"}}},
      // Switches and pieces without "=" set nothing; a key given twice keeps its last value.
      {"/v/qr /l*v x.log word =v A=1 A=2", {{"A", "2"}}},
      // Code page bytes pass unchanged, a trail byte 0x5C included.
      {"/v/qr A=\"\x83\x5C\" B=\x95\x5C", {{"A", "\x83\x5C"}, {"B", "\x95\x5C"}}},
  };
  for (const PropertiesCase& c : cases) {
    EXPECT_EQ(EnginePropertiesOf(c.launcherArgument), c.properties) << c.launcherArgument;
  }
}

TEST(EngineProperties, AreShownInBothReportsOfAnAcceptedFileOnly) {
  FileReport accepted;
  accepted.file = "a.ini";
  accepted.verdict.propertyString = "/v\"/qr VORX_INSTDIR=\\\"C:\\x y\\\\\\\" VORX_PORT=1\"";
  accepted.launcherArgument = "/v/qr VORX_INSTDIR=\"C:\\x y\\\" VORX_PORT=1";
  accepted.launcherKeys = {"VORX_INSTDIR=\"C:\\x y\\\"", "VORX_PORT=1"};
  FileReport refused = accepted;
  refused.verdict.refusal = SettingsVerdict::Refusal::kMissingFile;
  const ToUtf8 same = [](const std::string& text) { return text; };

  const std::string text = TextReport(accepted, same);
  EXPECT_NE(text.find("\n  installer engine receives:\n    VORX_INSTDIR: C:\\x y\\\n"
                      "    VORX_PORT: 1\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(TextReport(refused, same).find("installer engine"), std::string::npos);
  const std::string json = JsonReport(accepted, same);
  EXPECT_NE(json.find(",\"properties\":{\"VORX_INSTDIR\":\"C:\\\\x y\\\\\",\"VORX_PORT\":\"1\"}}"),
            std::string::npos)
      << json;
  EXPECT_NE(JsonReport(refused, same).find(",\"properties\":null}"), std::string::npos);
}

}  // namespace
}  // namespace ivx::check
