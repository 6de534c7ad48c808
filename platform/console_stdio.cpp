// The console on the C runtime's standard streams, for both builds.
#include <cstdio>

#include "platform/console.h"

namespace ivx {
namespace {

class StdioConsole final : public Console {
 public:
  void Print(std::string_view text) override {
    // Nothing more can be said when the console itself refuses the text; the status stays.
    (void)std::fwrite(text.data(), 1, text.size(), stdout);
    (void)std::fflush(stdout);
  }

  int ReadChar() override {
    const int c = std::getchar();
#ifndef _WIN32
    // Windows reads standard input in text mode, where CR LF arrives as LF; so it does here.
    if (c == '\r') {
      const int next = std::getchar();
      if (next == '\n') return next;
      if (next != EOF) (void)std::ungetc(next, stdin);
    }
#endif
    return c == EOF ? kEndOfInput : c;
  }

  bool InputEnded() const override { return std::feof(stdin) != 0; }
};

}  // namespace

std::unique_ptr<Console> MakeHostConsole() { return std::make_unique<StdioConsole>(); }

}  // namespace ivx
