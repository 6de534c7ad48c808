#include "driver/confirmation.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

struct AnswerCase {
  std::string input;
  Confirmation result;
  int questions;            // how often the question was printed
  bool inputFails = false;  // the input fails (rather than ends) after the text
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.input) << (c.inputFails ? " then failing" : "");
}

class ConfirmationTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ConfirmationTest, AsksUntilTheAnswerIsOneOfYyNn) {
  testing::FakeConsole console;
  console.input = GetParam().input;
  console.inputFails = GetParam().inputFails;
  EXPECT_EQ(AskConfirmation(console), GetParam().result);
  std::string questions;
  for (int i = 0; i < GetParam().questions; ++i) questions += msg::kQuestion;
  EXPECT_EQ(console.output, questions);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ConfirmationTest,
    ::testing::Values(AnswerCase{"y\n", Confirmation::kProceed, 1},
                      AnswerCase{"Y\n", Confirmation::kProceed, 1},
                      AnswerCase{"n\n", Confirmation::kDeclined, 1},
                      AnswerCase{"N\n", Confirmation::kDeclined, 1},
                      // one letter at the end of the input, without its newline
                      AnswerCase{"y", Confirmation::kProceed, 1},
                      AnswerCase{"n", Confirmation::kDeclined, 1},
                      // too long: the rest of the line is discarded and the question repeats
                      AnswerCase{"Yes\ny\n", Confirmation::kProceed, 2},
                      AnswerCase{"yy\nn\n", Confirmation::kDeclined, 2},
                      AnswerCase{"no way\n\nY\n", Confirmation::kProceed, 3},
                      // an empty line or another letter repeats the question
                      AnswerCase{"\ny\n", Confirmation::kProceed, 2},
                      AnswerCase{"x\nq\nn\n", Confirmation::kDeclined, 3},
                      AnswerCase{" y\ny\n", Confirmation::kProceed, 2},
                      // a CR that is not part of the line end is a character of the answer
                      AnswerCase{"y\r\r\nn\n", Confirmation::kDeclined, 2},
                      AnswerCase{"\r\nn\n", Confirmation::kDeclined, 2},
                      // the answer ends at a zero byte; the LF after two characters is
                      // left for the next answer
                      AnswerCase{std::string("y\0\n", 3), Confirmation::kProceed, 1},
                      AnswerCase{std::string("x\0\nn\n", 5), Confirmation::kDeclined, 3},
                      // the input ends or fails at the question
                      AnswerCase{"", Confirmation::kInputFailed, 1},
                      AnswerCase{"x\n", Confirmation::kInputFailed, 2},
                      AnswerCase{"yes", Confirmation::kInputFailed, 2},
                      AnswerCase{"", Confirmation::kInputFailed, 1, true},
                      AnswerCase{"y", Confirmation::kInputFailed, 1, true},
                      // failing while a long answer is discarded
                      AnswerCase{"yes", Confirmation::kInputFailed, 1, true}));

}  // namespace
}  // namespace ivx
