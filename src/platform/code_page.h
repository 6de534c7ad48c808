// The system's ANSI code page, in which the command holds every text, and the command's
// arguments in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/argument.h"

namespace ivx {

// The command as invoked, then its options.
using CommandArguments = std::vector<Argument>;

// A text of the code page in UTF-8, for output that must be UTF-8 (a byte that is no character
// of the code page becomes its Unicode replacement). On POSIX texts are UTF-8 already and come
// back unchanged.
std::string SystemTextToUtf8(const std::string& text);
// A UTF-8 text in the code page, for output that must be in it: a character that the code page
// lacks becomes its default character ("?"). On POSIX the text comes back unchanged.
std::string Utf8ToSystemText(const std::string& utf8);

#ifdef _WIN32
// A UTF-16 text in the code page. Exact when every character has its own counterpart there;
// otherwise the text has the default character in place of each one that has none, never a
// look-alike ("best fit"), which would name another file.
struct Conversion {
  std::string text;
  bool exact = true;
  bool replacement = false;  // the UTF-16 text held U+FFFD
};
Conversion ToCodePage(std::wstring_view text);
// A UTF-8 text in the code page, as ToCodePage converts it; not exact either when the text is
// not valid UTF-8 (each byte that starts no character then counts as one that is lacking, and
// as U+FFFD).
Conversion Utf8ToCodePage(std::string_view utf8);
// A text of the code page in UTF-16, every byte of it (a zero byte too); empty when the system
// cannot convert it.
std::wstring FromCodePage(std::string_view text);

bool IsCodePageLeadByte(char byte);

// The arguments as the C runtime split the UTF-16 command line, each converted.
CommandArguments HostArguments(int argc, const wchar_t* const* argv);
#else
// The arguments as they stand.
CommandArguments HostArguments(int argc, const char* const* argv);
#endif

}  // namespace ivx
