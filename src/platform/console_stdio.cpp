// The console on the C runtime's standard streams, for both builds.
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cstdio>

#include "platform/code_page.h"
#include "platform/console.h"

namespace ivx {
namespace {

#ifdef _WIN32
// A console window shows bytes in its own code page (the OEM one), not in the ANSI code page
// that every text of the command is in, so a folder name beyond ASCII would be garbled on the
// screen: there the text goes as characters. False when standard output is no console (a
// file or a pipe, as under a fleet agent): the bytes then go as they stand.
bool WrittenAsCharacters(std::string_view text) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == nullptr || out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;
  const std::wstring wide = FromCodePage(text);
  if (wide.empty()) return text.empty();
  // The console may take less than all at once; nothing more can be said when it refuses.
  for (std::size_t done = 0; done < wide.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
    DWORD written = 0;
    if (!WriteConsoleW(out, wide.data() + done, chunk, &written, nullptr) || written == 0) break;
    done += written;
  }
  return true;
}
#endif

class StdioConsole final : public Console {
 public:
  void Print(std::string_view text) override {
#ifdef _WIN32
    if (WrittenAsCharacters(text)) return;
#endif
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
