// The manual's table of settings holds: every example it calls valid is accepted, every one it
// calls invalid is refused for that key, and the launcher receives what the last column says.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

struct Row {
  std::string key;
  std::vector<std::string> valid;
  std::vector<std::string> invalid;
  std::string receives;
};

// The texts between backticks in a cell of the table.
std::vector<std::string> Quoted(const std::string& cell) {
  std::vector<std::string> texts;
  static const std::regex code("`([^`]*)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), code), end; it != end; ++it) {
    texts.push_back((*it)[1].str());
  }
  return texts;
}

// The rows of the table whose header starts "| Key | Value | Valid".
std::vector<Row> SettingsTable() {
  std::ifstream readme(built::kReadme);
  std::vector<Row> rows;
  bool inTable = false;
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("| Key | Value | Valid", 0) == 0) inTable = true;
    if (!inTable) continue;
    if (line.empty() || line[0] != '|') break;
    std::vector<std::string> cells;
    std::stringstream cellText(line.substr(1));
    for (std::string cell; std::getline(cellText, cell, '|');) cells.push_back(cell);
    const std::vector<std::string> key = Quoted(cells.at(0));
    if (cells.size() < 5 || key.empty()) continue;
    rows.push_back({key.front(), Quoted(cells[2]), Quoted(cells[3]), Quoted(cells[4]).at(0)});
  }
  return rows;
}

TEST(Readme, EveryExampleOfTheSettingsTableIsTrue) {
  const std::vector<Row> rows = SettingsTable();
  ASSERT_EQ(rows.size(), 8u) << "the manual's settings table was not found whole";
  Case kit;
  std::vector<std::string> files = {"--json"};
  struct Expected {
    std::string key;
    std::string example;
    bool valid;
    std::string receives;  // for the first valid example of its row
  };
  std::vector<Expected> expected;
  for (const Row& row : rows) {
    ASSERT_FALSE(row.valid.empty() || row.invalid.empty()) << row.key;
    for (const bool valid : {true, false}) {
      for (const std::string& example : valid ? row.valid : row.invalid) {
        const std::string name = "example" + std::to_string(expected.size()) + ".ini";
        Case::WriteFile(kit.Root() / name, kVersion + kSettings + row.key + "=" + example + "\r\n");
        files.push_back(name);
        const bool first = valid && example == row.valid.front();
        expected.push_back({row.key, example, valid, first ? row.receives : ""});
      }
    }
  }
  const RunResult run = kit.Check(files);
  nlohmann::json reports;
  ASSERT_NO_THROW(reports = nlohmann::json::parse(run.output)) << run.output;
  ASSERT_TRUE(reports.is_array() && reports.size() == expected.size()) << run.output;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Expected& e = expected[i];
    const nlohmann::json& report = reports.at(i);
    SCOPED_TRACE(e.key + "=" + e.example);
    EXPECT_EQ(report.at("accepted"), e.valid);
    if (!e.valid) {
      ASSERT_EQ(report.at("problems").size(), 1u);
      EXPECT_EQ(report.at("problems").at(0).at("key"), e.key);
    } else if (!e.receives.empty()) {
      EXPECT_EQ(report.at("launcher_argument"), "/v/qr " + e.receives);
    }
  }
}

}  // namespace
}  // namespace e2e
