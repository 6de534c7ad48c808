// Quoting texts for a Windows command line, so that the C runtime of the program started
// splits it back into the very texts that were placed on it. The texts are walked by
// character: the second byte of a two-byte character is never a backslash.
#pragma once

#include <string>
#include <string_view>

#include "core/characters.h"

namespace ivx {

// Inside a quoted argument: each quotation mark becomes \" and the backslashes right before
// it are doubled, or the C runtime would take them as escapes and lose a backslash or the
// mark.
std::string EscapeQuotationMarks(std::string_view text, LeadByteTest isLead = NoLeadBytes);

// The text followed by its closing quotation mark, the backslashes right before that mark
// doubled for the same reason.
std::string CloseQuotes(std::string text, LeadByteTest isLead = NoLeadBytes);

}  // namespace ivx
