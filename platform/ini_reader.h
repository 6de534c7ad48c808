// Reading one value from INI text, with the contract of the Windows profile call: section
// and key names matched without regard to letter case, white space around names and values
// dropped, one pair of enclosing quotation marks (" or ') dropped, only the first section of
// a name read and in it the first matching key, a value cut to 1023 characters, and empty
// text when the section or key is missing.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace ivx {

inline constexpr std::size_t kMaxProfileValue = 1023;

// Reads the text as a stream: the memory used does not grow with its size or the length of
// its lines. A UTF-8 byte-order mark is skipped; text with a UTF-16 byte-order mark (either
// byte order) is read as UTF-16 and its values are returned in UTF-8.
std::string ReadIniValue(std::istream& text, std::string_view section, std::string_view key);

}  // namespace ivx
