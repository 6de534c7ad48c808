// installvorx-check gives the verdict of installvorx by construction; these runs prove it on
// every settings file of the reader's table and of the fuzz seeds, through both binaries.
// (Every other end-to-end run that reads a settings file is compared the same way by the
// harness.)
#include <gtest/gtest.h>

#include "harness.h"
#include "platform/profile_corpus.h"
#include "texts.h"

namespace e2e {
namespace {

struct SettingsFile {
  std::string name;
  std::string text;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A table text whose section S and key A become the settings' own, so that its value is
// validated as a folder.
std::string AsSettings(const std::string& text) {
  std::string settings = Replace(text, "[S]", "[INSTALLATION_SETTINGS]");
  for (const std::string end : {"\n", "\r"}) {
    for (const char after : std::string("= \t\r\n")) {
      settings = Replace(settings, end + "A" + after, end + "VORX_INSTDIR" + after);
    }
  }
  return kVersion + settings;
}

std::vector<SettingsFile> SettingsFiles() {
  std::vector<SettingsFile> files;
  for (const ivx::testing::ProfileCase& c : ivx::testing::ProfileCorpus()) {
    files.push_back({c.name, c.text});
    if (c.section == "S" && c.key == "A")
      files.push_back({std::string(c.name) + "_as_settings", AsSettings(c.text)});
  }
  for (const auto& entry : fs::directory_iterator(IVX_E2E_INI_CORPUS)) {
    files.push_back({"seed_" + entry.path().stem().string(), Case::ReadFile(entry.path())});
  }
  return files;
}

void PrintTo(const SettingsFile& file, std::ostream* out) { *out << file.name; }

class CheckAgrees : public ::testing::TestWithParam<SettingsFile> {};

TEST_P(CheckAgrees, WithTheInstallationOnTheFile) {
  if (BuildUnderTest().check.empty()) GTEST_SKIP() << "installvorx-check was not built";
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "inst.ini", GetParam().text);
  const RunResult run = kit.Run({"/s", "/f", "inst.ini"});  // compared with the check
  EXPECT_TRUE(run.status == 2 || run.output.find(kStart) != std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CheckAgrees, ::testing::ValuesIn(SettingsFiles()),
                         [](const ::testing::TestParamInfo<SettingsFile>& param) {
                           return param.param.name;
                         });

}  // namespace
}  // namespace e2e
