// The whole chain, to its end in a real installer engine (the Windows build, under Wine or on
// Windows itself):
// installvorx.exe runs the tests' launcher, which hands the text after /v to the engine with
// the tests' package; the package records each VORX_* property as the engine received it.
// Each installation compares, key by key, what the engine recorded with the value in the
// settings file (after the reader's rules) and with what installvorx-check says the engine
// receives, and is removed afterwards. One installation records all eight properties, so each
// row carries as many cases as it can.
//
// From the test's environment: IVX_ENGINE_PACKAGE, IVX_ENGINE_SETUP (the launcher),
// IVX_ENGINE_RECORD (reads the record back and removes the installation), IVX_ENGINE_MARKER
// (the file the package installs into the VORX_INSTDIR folder), IVX_ENGINE_SKIP (why the
// package could not be built; empty when it was).
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <tuple>

#include "e2e/harness.h"
#include "e2e/texts.h"

namespace e2e {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : value;
}

struct Setting {
  std::string key;
  std::string written;  // UTF-8; "@" stands for the case folder's drive ("M:")
  std::optional<std::string> received = std::nullopt;  // what the engine gets, when not written
};

struct Installation {
  const char* name;
  int codePage;
  std::vector<Setting> settings;
  int engineCode = 0;
};

void PrintTo(const Installation& installation, std::ostream* out) { *out << installation.name; }

// Each installation both ways into Wine's engine: through msiexec.exe, and called in the
// launcher's own process (true).
using EngineRun = std::tuple<Installation, bool>;

const char* const kKeys[] = {"VORX_INSTDIR",      "VORX_DBDIR",     "VORX_IPADDRESS",
                             "VORX_PORT",         "VORX_SNMPTRAP",  "VORX_SNMPIPADDRESS",
                             "VORX_SNMPTRAPPORT", "VORX_RUNSERVICE"};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The values the package recorded: lines "name<TAB>>value" (">" keeps an empty value).
std::map<std::string, std::string> ReadRecord(const fs::path& file) {
  std::map<std::string, std::string> record;
  std::istringstream lines(Case::ReadFile(file));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos && line.compare(tab + 1, 1, ">") == 0) {
      record[line.substr(0, tab)] = line.substr(tab + 2);
    }
  }
  return record;
}

// A Windows exit code as the tests see it: Wine hands Linux only its low 8 bits.
int AsSeen(int code) { return built::kWindowsHost ? code : code & 0xFF; }

class EngineTest : public ::testing::TestWithParam<EngineRun> {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "the installer engine is the Windows build's";
    if (!Environment("IVX_ENGINE_SKIP").empty()) GTEST_SKIP() << Environment("IVX_ENGINE_SKIP");
  }

  // An installation that an interrupted run left behind would turn the next one into a
  // repair of it.
  static void SetUpTestSuite() {
    if (!UnderWine() || !Environment("IVX_ENGINE_SKIP").empty()) return;
    const fs::path record = fs::temp_directory_path() / "ivx-engine-leftover";
    RecordAndRemove(built::kWindowsHost ? record.string()
                                        : "Z:" + Replace(record.string(), "/", "\\"));
    fs::remove(record);
  }

  // Reads back what the engine recorded into the file (a path as Windows programs see it)
  // and removes the installation; the removal's code.
  static int RecordAndRemove(const std::string& record) {
#ifdef _WIN32
    // cmd.exe takes away the outer pair of quotation marks.
    const std::string command =
        "\"\"" + Environment("IVX_ENGINE_RECORD") + "\" \"" + record + "\" <NUL >NUL 2>&1\"";
    return std::system(command.c_str());
#else
    const std::string command = "wine '" + Environment("IVX_ENGINE_RECORD") + "' '" + record +
                                "' </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  }
};

TEST_P(EngineTest, RecordsEverySettingAsTheSettingsFileHoldsIt) {
  const Installation& row = std::get<0>(GetParam());
  const bool inProcess = std::get<1>(GetParam());
  if (!RunsInCodePage(row.codePage)) GTEST_SKIP() << "not this host's code page";
  Case kit;
  fs::copy_file(Environment("IVX_ENGINE_SETUP"), kit.Kit() / "setup.exe");
  fs::copy_file(Environment("IVX_ENGINE_PACKAGE"), kit.Kit() / "vorx-engine-test.msi");
  if (inProcess) Case::WriteFile(kit.Kit() / "engine-in-process", "");
  std::string drive = kit.Seen(kit.Root());  // "M:\"
  drive.pop_back();
  std::string text = kVersion + kSettings;
  std::map<std::string, std::string> expected;
  for (const Setting& s : row.settings) {
    text += s.key + "=" + Replace(s.written, "@", drive) + "\r\n";
    expected[s.key] = Replace(s.received.value_or(s.written), "@", drive);
  }
  Case::WriteFile(kit.Root() / "inst.ini", InCodePage(row.codePage, text));
  RunOptions options;
  options.codePage = row.codePage;

  const RunResult run = kit.Run({"/s", "/f", "inst.ini"}, options);
  // The marker's place, for a folder in the case folder.
  const std::string instdir = expected.count("VORX_INSTDIR") ? expected["VORX_INSTDIR"] : "";
  const fs::path marker = instdir.rfind(drive + "\\", 0) == 0
                              ? kit.Root() / Replace(instdir.substr(drive.size() + 1), "\\", "/") /
                                    Environment("IVX_ENGINE_MARKER")
                              : fs::path();
  const bool markerInstalled = !marker.empty() && fs::exists(marker);
  const fs::path recordFile = kit.Root() / "engine-record";
  const int removal = RecordAndRemove(kit.Seen(recordFile));

  EXPECT_EQ(run.status, AsSeen(row.engineCode)) << run.output;
  EXPECT_EQ(run.output, kStart + (row.engineCode == 0 ? "" : kFailed));
  const std::vector<fs::path> setupLogs = kit.Logs("setup");
  ASSERT_EQ(setupLogs.size(), 1u);
  EXPECT_EQ(Case::ReadFile(setupLogs.front()),
            "[ResponseResult]\r\nResultCode=" + std::to_string(row.engineCode) + "\r\n");
  const std::map<std::string, std::string> record = ReadRecord(recordFile);
  if (row.engineCode != 0) {
    EXPECT_TRUE(record.empty()) << "a failed installation left its records";
    EXPECT_EQ(removal, AsSeen(1605)) << "the failed installation is still there";
    return;
  }
  EXPECT_EQ(removal, 0) << "the installation was not removed";
  EXPECT_TRUE(markerInstalled) << marker;
  const RunResult check = kit.Check({"--json", "inst.ini"}, options);
  nlohmann::json report;
  ASSERT_NO_THROW(report = nlohmann::json::parse(check.output)) << check.output;
  const nlohmann::json& properties = report.at(0).at("properties");
  ASSERT_TRUE(properties.is_object()) << check.output;
  EXPECT_EQ(properties.size(), expected.size()) << check.output;
  for (const char* key : kKeys) {
    SCOPED_TRACE(key);
    ASSERT_EQ(record.count(key), 1u) << "the engine recorded no " << key;
    const auto value = expected.find(key);
    EXPECT_EQ(record.at(key), value == expected.end() ? "" : value->second);
    if (value != expected.end()) {
      EXPECT_EQ(properties.value(key, "(none)"), record.at(key));
    }
  }
}

// The cases, batched: each installation records all eight properties at once.
std::vector<Installation> Installations() {
  return {
      {"every_key",
       1252,
       {{"VORX_INSTDIR", "@\\Program Files\\VORX"},
        {"VORX_DBDIR", "D:\\VORX Data\\database"},
        {"VORX_IPADDRESS", "192.0.2.10"},
        {"VORX_PORT", "20080"},
        {"VORX_SNMPTRAP", "true", "TRUE"},
        {"VORX_SNMPIPADDRESS", "trap host"},
        {"VORX_SNMPTRAPPORT", "00162"},
        {"VORX_RUNSERVICE", "False", "FALSE"}}},
      // One and two trailing backslashes, inside quotation marks and without, in pieces that
      // are not the last and in the last one, before the closing mark.
      {"trailing_backslashes",
       1252,
       {{"VORX_INSTDIR", "@\\one\\"},
        {"VORX_DBDIR", "D:\\data two\\\\"},
        {"VORX_IPADDRESS", "hôte\\"},
        {"VORX_PORT", "1"},
        {"VORX_SNMPIPADDRESS", "trap host\\\\"}}},
      {"trailing_backslashes_last_folder_letters_1252",
       1252,
       {{"VORX_INSTDIR", "@\\Größe Été\\\\"}, {"VORX_DBDIR", "D:\\Ärger ñ\\"}}},
      // Text that means something to a shell, to the C runtime or to the engine elsewhere, and
      // a value that looks like one more property.
      {"special_characters",
       1252,
       {{"VORX_INSTDIR", "@\\x %PATH% ; & ^ ' = [ProductName]"},
        {"VORX_DBDIR", "D:\\%TEMP%;a&b^c'd=e|f<g>h[ProductName]"},
        {"VORX_IPADDRESS", "%USERNAME%;&^'=|<>[SourceDir]"},
        {"VORX_PORT", "8080"},
        {"VORX_SNMPIPADDRESS", "x VORX_RUNSERVICE=FALSE & [TARGETDIR]"},
        {"VORX_RUNSERVICE", "TRUE"}}},
      // Folders written with their own enclosing quotation marks: the reader drops one pair,
      // and the engine receives the folder. (Called in the launcher's process, Wine's engine
      // reads two marks inside a value as one; its msiexec.exe front end drops every mark
      // inside a value, which would hide a stray one.)
      {"folders_with_their_own_quotation_marks",
       1252,
       {{"VORX_INSTDIR", "\"\"@\\q x\"\"", "@\\q x"},
        {"VORX_DBDIR", "\"\"D:\\q y\\\"\"", "D:\\q y\\"},
        {"VORX_IPADDRESS", "host a"}}},
      // Characters whose second byte is 0x5C, the byte of "\", at the end of values, in their
      // middle, before a real backslash, and before the closing mark of the last piece.
      {"code_page_932",
       932,
       {{"VORX_INSTDIR", "@\\ソフト\\表"},
        {"VORX_DBDIR", "D:\\ソ x\\表"},
        {"VORX_IPADDRESS", "ホスト表"},
        {"VORX_SNMPIPADDRESS", "表 ソ"}}},
      {"code_page_932_backslashes",
       932,
       {{"VORX_INSTDIR", "@\\表\\"},
        {"VORX_DBDIR", "D:\\ソ\\\\"},
        {"VORX_SNMPIPADDRESS", "trap\\"}}},
      // A folder on a drive that does not exist: the engine fails the installation.
      {"engine_failure", 1252, {{"VORX_INSTDIR", "Q:\\vorx"}, {"VORX_PORT", "1"}}, 1603},
  };
}

INSTANTIATE_TEST_SUITE_P(Settings, EngineTest,
                         ::testing::Combine(::testing::ValuesIn(Installations()),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<EngineRun>& param) {
                           return std::string(std::get<0>(param.param).name) +
                                  (std::get<1>(param.param) ? "_in_process" : "_msiexec");
                         });

}  // namespace
}  // namespace e2e
