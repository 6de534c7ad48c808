// The confirmation question asked before an installation that is not silent.
#pragma once

#include "platform/console.h"

namespace ivx {

enum class Confirmation { kProceed, kDeclined, kInputFailed };

// Asks until the answer is Y, y, N or n. A line of more than one character is rejected and
// its rest discarded; an empty line asks again; a one-letter answer at the end of the input
// counts without its newline; an answer ends at its first zero byte, as the C runtime's line
// reader delivers it. kInputFailed when standard input ends or fails at the question, or fails
// while a long answer is discarded; the caller reports it.
Confirmation AskConfirmation(Console& console);

}  // namespace ivx
