#include "setup/result_check.h"

#include <gtest/gtest.h>

namespace ivx {
namespace {

using namespace std::string_literals;

struct ScanCase {
  std::string text;
  bool success;
};

TEST(SetupLogScan, FindsAResultCodeOfZeroOnALineOfItsOwn) {
  const ScanCase cases[] = {
      {"ResultCode=0\r\n", true},
      {"[ResponseResult]\r\nResultCode=0\r\n", true},
      {"ResultCode=0", true},
      {"ResultCode=0 \t\r\n", true},
      {"ResultCode=0\v\f", true},
      {"ResultCode=0\n", true},
      {"a\nResultCode=0\nb\n", true},
      {"ResultCode=0\r\r\n", true},
      {"ResultCode=0\r\nResultCode=-3\r\n", true},
      {"ResultCode=-3\r\nResultCode=0\r\n", true},
      {"", false},
      {"ResultCode=-3\r\n", false},
      {"ResultCode=00\r\n", false},
      {"ResultCode= 0\r\n", false},
      {"ResultCode =0\r\n", false},
      {" ResultCode=0\r\n", false},
      {"resultcode=0\r\n", false},
      {"ResultCode\r\n0\r\n", false},
      {"ResultCode=0=0\r\n", false},
      {"ResultCode:0\r\n", false},
      {"x\0ResultCode=0\r\n"s, false},
      {"ResultCode=0\0junk"s, true},
  };
  for (const ScanCase& c : cases) {
    EXPECT_EQ(SetupLogReportsSuccess(c.text), c.success) << c.text;
  }
}

}  // namespace
}  // namespace ivx
