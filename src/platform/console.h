// The command's console: standard output for every message, standard input for the answer
// to the confirmation question.
#pragma once

#include <memory>
#include <string_view>

namespace ivx {

class Console {
 public:
  static constexpr int kEndOfInput = -1;

  virtual ~Console() = default;
  // Writes the bytes as they stand (never as a format) and flushes them, so that they reach
  // the console ahead of anything the launcher prints.
  virtual void Print(std::string_view text) = 0;
  // The next character of standard input as a text-mode stream delivers it (a CR right
  // before an LF is part of the line end), or kEndOfInput at its end or on a read error.
  virtual int ReadChar() = 0;
  // After kEndOfInput: true when the input ended, false when reading failed.
  virtual bool InputEnded() const = 0;
};

std::unique_ptr<Console> MakeHostConsole();

}  // namespace ivx
