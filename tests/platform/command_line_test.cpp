#include "platform/command_line.h"

#include <gtest/gtest.h>

#include "support/code_page_932.h"

namespace ivx {
namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  std::string line;
  Args args;
};

// What the Windows C runtime hands a program for its command line.
const SplitCase kCases[] = {
    {"", {}},
    {"prog", {"prog"}},
    {"prog a b", {"prog", "a", "b"}},
    {"prog  a\t\tb  ", {"prog", "a", "b"}},
    {"prog \"a b\" c", {"prog", "a b", "c"}},
    {"prog a\"b c\"d", {"prog", "ab cd"}},
    {"prog \"\"", {"prog", ""}},
    {"prog \"\" x", {"prog", "", "x"}},
    // backslashes before a quotation mark: 2n give n and the mark toggles quoting
    {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
    {"prog \\\\\\\\\"b\"", {"prog", "\\\\b"}},
    // 2n+1 give n and a literal mark
    {"prog a\\\"b", {"prog", "a\"b"}},
    {"prog \\\\\\\"b", {"prog", "\\\"b"}},
    {"prog \"a\\\" b\"", {"prog", "a\" b"}},
    // backslashes elsewhere are literal
    {"prog C:\\dir\\ x\\\\y", {"prog", "C:\\dir\\", "x\\\\y"}},
    {"prog \"C:\\Program Files\\\\\"", {"prog", "C:\\Program Files\\"}},
    {"prog a\\", {"prog", "a\\"}},
    // two marks inside quotes give one literal mark and quoting goes on
    {"prog \"a\"\"b c\"", {"prog", "a\"b c"}},
    {"prog \"\"\"\"", {"prog", "\""}},
    {"prog \"unterminated arg", {"prog", "unterminated arg"}},
    // the program name knows no escapes
    {"\"C:\\kit\\setup.exe\" /s", {"C:\\kit\\setup.exe", "/s"}},
    {"\"C:\\a b\\\"c\" d", {"C:\\a b\\c d"}},
    {"C:\\x\\\"y z\" w", {"C:\\x\\y z", "w"}},
    {"\"/opt/my kit/setup.exe\" /z\"/var/log/i.log\" ",
     {"/opt/my kit/setup.exe", "/z/var/log/i.log"}},
};

TEST(SplitCommandLine, FollowsTheWindowsCRuntimeRules) {
  for (const SplitCase& c : kCases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
  }
}

// In code page 932 the second byte of a character may be the byte of a backslash; the C
// runtime walks the line by character, so it never escapes a quotation mark.
TEST(SplitCommandLine, WalksADoubleByteCodePageByCharacter) {
  using testing::kHyo;
  using testing::kSo;
  const SplitCase cases[] = {
      {"prog \"D:\\" + kSo + "\" x", {"prog", "D:\\" + kSo, "x"}},
      {"prog /v\"/qr A=\\\"C:\\" + kHyo + "\\\"\"", {"prog", "/v/qr A=\"C:\\" + kHyo + "\""}},
      {"prog a\\" + kSo + "\\\"b", {"prog", "a\\" + kSo + "\"b"}},
      {"\"C:\\" + kSo + "\\setup.exe\" /s", {"C:\\" + kSo + "\\setup.exe", "/s"}},
      {"prog \x83", {"prog", "\x83"}},  // a lead byte at the end stands alone
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line, testing::IsLeadByte932), c.args) << c.line;
  }
}

}  // namespace
}  // namespace ivx
