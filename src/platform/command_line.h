// Splitting a Windows command line into arguments the way the current Windows C runtime
// does it for a program's argv, so that the POSIX build hands its launcher exactly what the
// Windows launcher would receive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/characters.h"

namespace ivx {

// Blank and tab separate arguments; a quotation mark toggles quoting; 2n backslashes before
// a quotation mark give n backslashes and the mark toggles, 2n+1 give n and a literal mark;
// other backslashes are literal; two marks inside quotes give one literal mark and quoting
// goes on. The first argument (the program) is taken up to its first blank or tab outside
// quotes, with quotation marks only grouping. An empty line gives no argument. In a
// double-byte code page the line is walked by character, as the C runtime walks it: the
// second byte of a character is never a backslash, a quotation mark or a blank.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          LeadByteTest isLead = NoLeadBytes);

}  // namespace ivx
