#include "core/ini_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/profile_corpus.h"

namespace ivx {
namespace {

TEST(IniReader, ReadsEveryCorpusFileAsTheWindowsProfileCallDoes) {
  for (const testing::ProfileCase& c : testing::ProfileCorpus()) {
    std::istringstream text(c.text);
    EXPECT_EQ(ReadIniValue(text, c.section, c.key), c.value) << c.name;
  }
}

TEST(IniReader, TheLineScanNumbersLinesAndTellsCutValues) {
  std::istringstream text("[S]\r\n; note\rA=1\n\n  \n[T\r\nB=" + std::string(1100, 'x') + "\r\nC");
  std::vector<IniLine> lines;
  ScanIniLines(text, [&lines](const IniLine& line) { lines.push_back(line); });
  using Kind = IniLine::Kind;
  const std::vector<Kind> kinds = {Kind::kSection, Kind::kComment, Kind::kEntry, Kind::kBlank,
                                   Kind::kBlank,   Kind::kOther,   Kind::kEntry, Kind::kEntry};
  ASSERT_EQ(lines.size(), kinds.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].number, i + 1);
    EXPECT_EQ(lines[i].kind, kinds[i]) << i;
  }
  EXPECT_TRUE(lines[6].cut);
  EXPECT_EQ(lines[6].value.size(), kMaxProfileValue);
  EXPECT_FALSE(lines[2].cut);
  EXPECT_FALSE(lines[7].hasEquals);
  EXPECT_EQ(lines[7].name, "C");
}

TEST(IniReader, DecodesUtf16IntoUtf8) {
  using namespace std::string_literals;
  // "é" and a character beyond the basic plane (a surrogate pair), then a lone surrogate.
  std::istringstream text("\xFF\xFE[\0S\0]\0\n\0A\0=\0\xE9\0\x3D\xD8\x00\xDE\x00\xDCz\0\n\0"s);
  EXPECT_EQ(ReadIniValue(text, "S", "A"), "\xC3\xA9\xF0\x9F\x98\x80?z");
}

TEST(IniReader, KeepsUtf8BytesAsTheyStand) {
  std::istringstream text("\xEF\xBB\xBF[S]\nA=caf\xC3\xA9\n");
  EXPECT_EQ(ReadIniValue(text, "S", "A"), "caf\xC3\xA9");
}

TEST(IniReader, StopsReadingOnceTheValueIsKnown) {
  std::istringstream text("[S]\nA=1\n" + std::string(4 << 20, 'x'));
  EXPECT_EQ(ReadIniValue(text, "S", "A"), "1");
  EXPECT_GT(text.tellg(), 0);
  EXPECT_LT(text.tellg(), 1 << 20);
}

}  // namespace
}  // namespace ivx
