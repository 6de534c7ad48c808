#include "driver/options.h"

#include <gtest/gtest.h>

namespace ivx {
namespace {

struct OptionCase {
  std::vector<std::string> args;
  std::optional<std::string> settingsFile;  // nullopt: the options are invalid
  bool silent = false;
};

void ExpectParsed(const OptionCase& c, PathStyle style) {
  const std::optional<Options> options = ParseOptions(ExpressibleArguments(c.args), style);
  ASSERT_EQ(options.has_value(), c.settingsFile.has_value());
  if (!options) return;
  EXPECT_EQ(options->settingsFile.text, *c.settingsFile);
  EXPECT_EQ(options->silent, c.silent);
}

const std::string k255(255, 'n');
const std::string k256(256, 'n');

// Cases that both builds read alike.
const OptionCase kBothStyles[] = {
    {{}, "", false},
    {{"/s"}, "", true},
    {{"/s", "/s"}, "", true},
    {{"/f", "a.ini"}, "a.ini", false},
    {{"/f", "a.ini", "/s"}, "a.ini", true},
    {{"/s", "/f", "a.ini"}, "a.ini", true},
    {{"/f", "a.ini", "/f", "b.ini"}, "b.ini", false},
    {{"/f", ""}, "", false},
    {{"/f", "a.ini", "/f", ""}, "", false},
    {{"/f", "s"}, "s", false},
    {{"/f", k255}, k255, false},
    {{"/f", "-s"}, "-s", false},
    {{"/F"}, std::nullopt},
    {{"-f", "a.ini"}, std::nullopt},
    {{"/fx", "a.ini"}, std::nullopt},
    {{"f/"}, std::nullopt},
    {{"/S"}, std::nullopt},
    {{"/sx"}, std::nullopt},
    {{"//s"}, std::nullopt},
    {{"/"}, std::nullopt},
    {{""}, std::nullopt},
    {{"s"}, std::nullopt},
    {{"/f"}, std::nullopt},
    {{"/s", "/f"}, std::nullopt},
    {{"/f", "/s"}, std::nullopt},
    {{"/f", "/f"}, std::nullopt},
    {{"/f", "/x"}, std::nullopt},
    {{"/f", k256}, std::nullopt},
    {{"/s", "a.ini"}, std::nullopt},
    {{"/f", "a.ini", "b.ini"}, std::nullopt},
};

TEST(Options, AreReadAlikeByBothBuilds) {
  for (const OptionCase& c : kBothStyles) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    ExpectParsed(c, PathStyle::kWindows);
    ExpectParsed(c, PathStyle::kPosix);
  }
}

TEST(Options, AValueStartingWithASlashIsAnOptionOnWindowsButAPathOnPosix) {
  const OptionCase windows[] = {
      {{"/f", "/etc/vorx.ini"}, std::nullopt},
      {{"/f", "/"}, std::nullopt},
      {{"/f", "/cfg"}, std::nullopt},
  };
  const OptionCase posix[] = {
      {{"/f", "/etc/vorx.ini", "/s"}, "/etc/vorx.ini", true},
      {{"/f", "/"}, "/"},
      {{"/f", "/cfg"}, "/cfg"},
      {{"/f", "/x"}, std::nullopt},
  };
  for (const OptionCase& c : windows) ExpectParsed(c, PathStyle::kWindows);
  for (const OptionCase& c : posix) ExpectParsed(c, PathStyle::kPosix);
}

struct InexpressibleCase {
  std::vector<Argument> args;
  std::optional<std::string> settingsFile;  // nullopt: the options are invalid
  bool settingsFileExpressible = true;
};

// On Windows an argument may hold a character that the code page cannot express; its text
// then has "?" in that place.
TEST(Options, AnInexpressibleArgumentIsNoOptionAndNamesNoFileToRead) {
  const InexpressibleCase cases[] = {
      {{{"/f"}, {"?.ini", false}, {"/s"}}, "?.ini", false},
      {{{"/f"}, {"?.ini", false}, {"/f"}, {"b.ini"}}, "b.ini"},
      {{{"/f"}, {"a.ini"}, {"/f"}, {"?.ini", false}}, "?.ini", false},
      {{{"/f"}, {"?.ini", false}, {"/f"}, {""}}, ""},
      {{{"/s"}, {"/f"}, {"a.ini"}}, "a.ini"},
      // whatever its text: "/s" with a look-alike of "s" is no option
      {{{"/s", false}}, std::nullopt},
      {{{"/f", false}, {"a.ini"}}, std::nullopt},
      {{{"/s"}, {"?", false}}, std::nullopt},
      {{{"/f"}, {"/?", false}}, std::nullopt},
  };
  for (const InexpressibleCase& c : cases) {
    SCOPED_TRACE(&c - cases);
    const std::optional<Options> options = ParseOptions(c.args, PathStyle::kWindows);
    ASSERT_EQ(options.has_value(), c.settingsFile.has_value());
    if (!options) continue;
    EXPECT_EQ(options->settingsFile.text, *c.settingsFile);
    EXPECT_EQ(options->settingsFile.expressible, c.settingsFileExpressible);
  }
}

}  // namespace
}  // namespace ivx
