#include "platform/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ivx
