// installvorx-check gives the verdict of installvorx by construction; this table proves it on
// every settings file that the end-to-end tests run through installvorx: the reader's table and
// the fuzz seeds, the rows of the installation's settings tables (settings_tables.h), and the
// names, folders, code pages and rights that the other tests give the file after "/f".
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "harness.h"
#include "platform/profile_corpus.h"
#include "settings_tables.h"
#include "texts.h"

namespace e2e {
namespace {

// What the installation made of a settings file.
struct Verdict {
  bool accepted;
  // Accepted: the launcher's last argument; refused: the message, without its newline.
  std::string text;
};

// Lays out the settings file, and what else the row needs, in the case folder, and sets the
// options of both runs; returns the name given after "/f", or nullopt when this machine
// cannot lay it out.
using Arrange = std::function<std::optional<std::string>(const Case&, RunOptions&)>;

enum class On { kBoth, kLinux, kWine };

struct Agreement {
  std::string name;
  Arrange arrange;
  // What the installation's own table requires of it; nullopt: installvorx is run on the file
  // to find out.
  std::optional<Verdict> installation;
  On on = On::kBoth;
};

void PrintTo(const Agreement& row, std::ostream* out) { *out << row.name; }

Arrange File(std::string text, std::string name = "inst.ini") {
  return [text = std::move(text), name = std::move(name)](const Case& kit, RunOptions&) {
    Case::WriteFile(kit.Root() / name, text);
    return std::optional<std::string>(name);
  };
}

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

std::vector<Agreement> CorpusFiles() {
  std::vector<Agreement> files;
  for (const ivx::testing::ProfileCase& c : ivx::testing::ProfileCorpus()) {
    files.push_back({c.name, File(c.text), std::nullopt});
    if (c.section == "S" && c.key == "A")
      files.push_back(
          {std::string(c.name) + "_as_settings", File(AsSettings(c.text)), std::nullopt});
  }
  for (const auto& entry : fs::directory_iterator(built::kIniCorpus)) {
    files.push_back(
        {"seed_" + entry.path().stem().string(), File(Case::ReadFile(entry.path())), std::nullopt});
  }
  return files;
}

std::string WithoutNewline(const std::string& message) {
  return message.substr(0, message.size() - 1);
}

// The table's file, saved as its row says and read in the row's code page.
Arrange SavedInCodePage(const SavedFileCase& c) {
  return [c](const Case& kit, RunOptions& options) -> std::optional<std::string> {
    if (!RunsInCodePage(c.codePage)) return std::nullopt;
    Case::WriteFile(kit.Root() / "inst.ini", SavedAs(c.saved, kVersion + kSettings + c.setting));
    options.codePage = c.codePage;
    kit.UseCodePageOfTheCommands(c.codePage);
    return std::optional<std::string>("inst.ini");
  };
}

// The rows of the installation's tables, with the verdict that each table requires.
std::vector<Agreement> TableFiles() {
  std::vector<Agreement> files;
  for (const FileCase& c : AcceptedFiles()) {
    files.push_back(
        {std::string("accepted_") + c.name, File(c.text), Verdict{true, c.lastArgument}});
  }
  for (const auto& table : {RejectedVersions(), RejectedDefinitions()}) {
    for (const RejectedCase& c : table) {
      files.push_back({std::string("refused_") + c.name, File(c.text),
                       Verdict{false, WithoutNewline(c.message)}});
    }
  }
  for (const SavedFileCase& c : SavedFiles()) {
    const std::string refusal = WithoutNewline(InvalidDefinition(c.outcome));
    files.push_back(
        {std::string("saved_") + c.name, SavedInCodePage(c),
         Verdict{c.accepted,
                 c.accepted ? InCodePage(LauncherCodePage(c.codePage), c.outcome) : refusal},
         On::kWine});
  }
  for (const BadFileCase& c : BadFiles()) {
    const bool accepted = c.status == 0;
    files.push_back({std::string("bad_") + c.name, File(c.text),
                     Verdict{accepted, accepted ? c.lastArgument : WithoutNewline(c.output)}});
  }
  return files;
}

// A file of the port 3 in the folder cfg, named as the name function says.
Arrange InCfg(std::function<std::string(const Case&)> name) {
  return [name = std::move(name)](const Case& kit, RunOptions&) {
    fs::create_directories(kit.Root() / "cfg");
    Case::WriteFile(kit.Root() / "cfg" / "inst.ini", kVersion + kSettings + "VORX_PORT=3\r\n");
    return std::optional<std::string>(name(kit));
  };
}

// Settings in Ācfg and, where a look-alike would lead, other settings in Acfg, read in code
// page 1252.
void LookAlikeFolders(const Case& kit, RunOptions& options) {
  for (const char* folder : {"Ācfg", "Acfg"}) {
    fs::create_directories(kit.Root() / folder);
    Case::WriteFile(kit.Root() / folder / "inst.ini",
                    kVersion + kSettings + "VORX_PORT=" + (folder[0] == 'A' ? "1" : "2") + "\r\n");
  }
  options.codePage = 1252;
}

// The settings files that the other tests give installvorx, laid out as they lay them out.
std::vector<Agreement> NamedFiles() {
  return {
      {"relative_name",
       InCfg([](const Case&) { return UnderWine() ? "cfg\\inst.ini" : "cfg/inst.ini"; }),
       std::nullopt},
      {"absolute_name",
       InCfg([](const Case& kit) { return kit.Seen(kit.Root() / "cfg" / "inst.ini"); }),
       std::nullopt},
      {"from_the_root_of_the_drive", InCfg([](const Case&) { return "\\cfg\\inst.ini"; }),
       std::nullopt, On::kWine},
      {"relative_to_the_drive",
       InCfg([](const Case& kit) { return kit.Seen(kit.Root()).substr(0, 2) + "cfg\\inst.ini"; }),
       std::nullopt, On::kWine},
      {"missing", [](const Case&, RunOptions&) { return std::optional<std::string>("none.ini"); },
       std::nullopt},
      {"folder",
       [](const Case& kit, RunOptions&) {
         fs::create_directories(kit.Root() / "folder.ini");
         return std::optional<std::string>("folder.ini");
       },
       std::nullopt},
      {"name_of_255_characters",
       [](const Case&, RunOptions&) { return std::optional<std::string>(std::string(255, 'a')); },
       std::nullopt},
      {"linux_absolute_path",
       [](const Case&, RunOptions&) { return std::optional<std::string>("/etc/no-such-vorx.ini"); },
       std::nullopt, On::kLinux},
      {"wildcard",
       [](const Case& kit, RunOptions&) {
         Case::WriteFile(kit.Root() / "a.ini", "[VORX]\nvorxversion=6.1.0-00\n");
         return std::optional<std::string>("*.ini");
       },
       std::nullopt},
      {"shipped_example_from_the_kit",
       [](const Case& kit, RunOptions& options) {
         fs::copy_file(built::kExampleSettings, kit.Tools() / "settings.ini");
         options.workingDirectory = kit.Kit();
         return std::optional<std::string>(UnderWine() ? "tools\\settings.ini"
                                                       : "tools/settings.ini");
       },
       std::nullopt},
      {"of_64_mib",
       [](const Case& kit, RunOptions& options) {  // made only for its run
         return File(SettingsFileOf64MiB(), "big.ini")(kit, options);
       },
       std::nullopt},
      {"joined_path_longer_than_the_platform_allows",
       [](const Case& kit, RunOptions& options) {
         return std::optional<std::string>(NameTooLongInItsFolder(kit, options));
       },
       std::nullopt},
      {"unreadable_for_the_caller",
       [](const Case& kit, RunOptions& options) -> std::optional<std::string> {
         if (!RunUnprivileged(options)) return std::nullopt;
         fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
         Case::WriteFile(kit.Root() / "inst.ini", kVersion);
         fs::permissions(kit.Root() / "inst.ini", fs::perms::owner_read | fs::perms::owner_write);
         return "inst.ini";
       },
       std::nullopt, On::kLinux},
      // In code page 932 the current directory and the values end in a character whose second
      // byte is 0x5C; a byte walk would read 表inst.ini.
      {"code_page_932_walked_by_character",
       [](const Case& kit, RunOptions& options) -> std::optional<std::string> {
         if (!RunsInCodePage(932)) return std::nullopt;
         const fs::path current = kit.Root() / "cfg" / "表";
         fs::create_directories(current);
         Case::WriteFile(kit.Root() / "cfg" / "表inst.ini", kVersion);
         Case::WriteFile(current / "inst.ini",
                         InCodePage(932, kVersion + kSettings +
                                             "VORX_INSTDIR=C:\\VORX\\表\r\nVORX_DBDIR=D:\\ソ\r\n"));
         options.codePage = 932;
         options.workingDirectory = current;
         return std::optional<std::string>("inst.ini");
       },
       std::nullopt, On::kWine},
      {"code_page_1252_current_directory_without_look_alike",
       [](const Case& kit, RunOptions& options) {
         LookAlikeFolders(kit, options);
         options.workingDirectory = kit.Root() / "Ācfg";
         return std::optional<std::string>("inst.ini");
       },
       std::nullopt, On::kWine},
      {"code_page_1252_drive_relative_name_without_look_alike",
       [](const Case& kit, RunOptions& options) {
         LookAlikeFolders(kit, options);
         options.workingDirectory = kit.Root() / "Ācfg";
         return std::optional<std::string>(kit.Seen(kit.Root()).substr(0, 2) + "inst.ini");
       },
       std::nullopt, On::kWine},
      {"code_page_1252_name_without_look_alike",
       [](const Case& kit, RunOptions& options) {
         LookAlikeFolders(kit, options);
         return std::optional<std::string>(kit.Seen(kit.Root()) + "Ācfg\\inst.ini");
       },
       std::nullopt, On::kWine},
  };
}

// The installation's verdict on the file, from a run: the refusal it printed, or the last
// argument that the launcher received; nullopt when it did neither.
std::optional<Verdict> Install(Case& kit, const std::string& name, const RunOptions& options) {
  const RunResult run = kit.Run({"/s", "/f", name}, options);
  for (const char* refusal : {"QEDN40121-W ", "QEDN40122-W ", "QEDN40123-W "}) {
    const bool oneLine = run.output.find('\n') == run.output.size() - 1;
    if (run.status == 2 && run.output.rfind(refusal, 0) == 0 && oneLine)
      return Verdict{false, WithoutNewline(run.output)};
  }
  const std::vector<std::string> launcher = kit.LauncherArgs();
  if (run.output.find(kStart) != std::string::npos && !launcher.empty() &&
      launcher.back().rfind("/v/qr", 0) == 0) {
    return Verdict{true, launcher.back()};
  }
  ADD_FAILURE() << "installvorx neither refused the file nor launched: " << run.status << " "
                << run.output;
  return std::nullopt;
}

class CheckAgrees : public ::testing::TestWithParam<Agreement> {};

// The check gives the verdict that the installation acts on: the same refusal message, or,
// for a file that is accepted, the very argument that the launcher receives.
TEST_P(CheckAgrees, WithTheInstallationOnTheFile) {
  const Agreement& row = GetParam();
  if (row.on == On::kLinux && UnderWine()) GTEST_SKIP() << "a file of the Linux build";
  if (row.on == On::kWine && !UnderWine()) GTEST_SKIP() << "a file of the Windows build";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  const std::optional<std::string> name = row.arrange(kit, options);
  if (!name) GTEST_SKIP() << "this machine cannot drop privileges, or have the code page";
  std::optional<Verdict> installation = row.installation;
  if (!installation) installation = Install(kit, *name, options);
  ASSERT_TRUE(installation);

  const RunResult check = kit.Check({"--json", *name}, options);
  SCOPED_TRACE("installvorx-check --json " + *name + " printed: " + check.output);
  EXPECT_EQ(check.status, installation->accepted ? 0 : 2);
  EXPECT_TRUE(IsUtf8(check.output)) << "the report is not UTF-8";
  nlohmann::json report;
  ASSERT_NO_THROW(report = nlohmann::json::parse(check.output));
  ASSERT_TRUE(report.is_array() && report.size() == 1u);
  const nlohmann::json& file = report.front();
  EXPECT_EQ(file.at("accepted"), installation->accepted);
  if (installation->accepted) {
    EXPECT_TRUE(file.at("message").is_null());
    EXPECT_EQ(file.at("launcher_argument"),
              ToUtf8(installation->text, LauncherCodePage(options.codePage)));
  } else {
    EXPECT_EQ(file.at("message"), ToUtf8(installation->text, options.codePage));
    EXPECT_TRUE(file.at("launcher_argument").is_null());
  }
}

std::string RowName(const ::testing::TestParamInfo<Agreement>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Corpus, CheckAgrees, ::testing::ValuesIn(CorpusFiles()), RowName);
INSTANTIATE_TEST_SUITE_P(Tables, CheckAgrees, ::testing::ValuesIn(TableFiles()), RowName);
INSTANTIATE_TEST_SUITE_P(Names, CheckAgrees, ::testing::ValuesIn(NamedFiles()), RowName);

}  // namespace
}  // namespace e2e
