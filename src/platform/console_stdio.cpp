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
#ifdef _WIN32
    const int c = std::getchar();
#else
    const int c = ReadTextModeChar();
#endif
    return c == EOF ? kEndOfInput : c;
  }

  bool InputEnded() const override { return endedByCtrlZ_ || std::feof(stdin) != 0; }

 private:
#ifndef _WIN32
  // Windows reads standard input in text mode, where CR LF arrives as LF and a Ctrl-Z byte
  // ends the input for good; so it does here.
  int ReadTextModeChar() {
    if (endedByCtrlZ_) return EOF;
    const int c = std::getchar();
    if (c == kCtrlZ) {
      endedByCtrlZ_ = true;
      return EOF;
    }
    if (c == '\r') {
      const int next = std::getchar();
      if (next == '\n') return next;
      if (next != EOF) (void)std::ungetc(next, stdin);
    }
    return c;
  }
#endif

  static constexpr int kCtrlZ = 0x1A;
  bool endedByCtrlZ_ = false;  // the Windows C runtime ends the input at Ctrl-Z itself
};

}  // namespace

std::unique_ptr<Console> MakeHostConsole() { return std::make_unique<StdioConsole>(); }

}  // namespace ivx
