#include "driver/confirmation.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/messages.h"

namespace ivx {
namespace {

// At most two characters, ending after an LF; nullopt when nothing could be read, or when
// reading failed part way (the line is then unusable).
std::optional<std::string> ReadShortLine(Console& console) {
  std::string line;
  while (line.size() < 2) {
    const int c = console.ReadChar();
    if (c == Console::kEndOfInput) {
      if (!console.InputEnded() || line.empty()) return std::nullopt;
      break;
    }
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  return line;
}

// The rest of a line that was too long: read up to its LF (or the end of the input).
bool DiscardRestOfLine(Console& console) {
  for (;;) {
    const int c = console.ReadChar();
    if (c == '\n') return true;
    if (c == Console::kEndOfInput) return console.InputEnded();
  }
}

// One answer to the question; nullopt when it is rejected and the question is asked again.
std::optional<Confirmation> ReadAnswer(Console& console) {
  std::optional<std::string> line = ReadShortLine(console);
  if (!line) return Confirmation::kInputFailed;
  // The C runtime's line reader hands over a C string: the line ends at its first zero byte.
  line->resize(std::min(line->size(), line->find('\0')));
  if (!line->empty() && line->back() == '\n') line->pop_back();
  if (line->size() > 1) {
    if (DiscardRestOfLine(console)) return std::nullopt;
    return Confirmation::kInputFailed;
  }
  if (*line == "Y" || *line == "y") return Confirmation::kProceed;
  if (*line == "N" || *line == "n") return Confirmation::kDeclined;
  return std::nullopt;
}

}  // namespace

Confirmation AskConfirmation(Console& console) {
  for (;;) {
    console.Print(msg::kQuestion);
    if (const std::optional<Confirmation> answer = ReadAnswer(console)) return *answer;
  }
}

}  // namespace ivx
