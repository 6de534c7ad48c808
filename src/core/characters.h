// Text in the system's ANSI code page, walked character by character. In a double-byte code
// page (932 Japanese, 936, 949, 950) a lead byte and the byte after it are one character, and
// that second byte may be 0x5C, the byte of "\": it is never a separator or a backslash of its
// own. Every rule that looks for one of those walks the text with these helpers.
#pragma once

#include <cstddef>
#include <string_view>

namespace ivx {

// True when the byte starts a two-byte character in the code page the text is in.
using LeadByteTest = bool (*)(char byte);

// Single-byte code pages, and UTF-8, where no byte of a multi-byte character is ASCII.
bool NoLeadBytes(char byte);

// Where the character that starts at pos ends. A lead byte at the very end stands alone.
std::size_t CharacterEnd(std::string_view text, std::size_t pos, LeadByteTest isLead);

// Calls visit(position, character) for each character of the text, in order.
template <typename Visit>
void ForEachCharacter(std::string_view text, LeadByteTest isLead, Visit visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = CharacterEnd(text, pos, isLead);
    visit(pos, text.substr(pos, end - pos));
    pos = end;
  }
}

// Where the text's last character starts; 0 for an empty text.
std::size_t LastCharacterStart(std::string_view text, LeadByteTest isLead);

// True when the bytes above 127 of the text all form valid UTF-8 (no overlong form, no
// surrogate, nothing above U+10FFFF) and there is at least one of them. Text in a code page
// such as 1252 or 932 is almost never that: such bytes are UTF-8 read in the wrong encoding.
bool IsUtf8BeyondAscii(std::string_view text);

// True when UTF-8 text holds U+FFFD, the replacement character (the bytes EF BF BD).
bool HoldsReplacementCharacter(std::string_view utf8);

}  // namespace ivx
