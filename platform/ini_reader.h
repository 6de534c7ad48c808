// Reading one value from INI text, with the contract of the Windows profile call: section
// and key names matched without regard to letter case, white space around names and values
// dropped, one pair of enclosing quotation marks (" or ') dropped, only the first section of
// a name read and in it the first matching key, a value cut to 1023 characters, and empty
// text when the section or key is missing.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

namespace ivx {

inline constexpr std::size_t kMaxProfileValue = 1023;

// Reads the text as a stream: the memory used does not grow with its size or the length of
// its lines. A UTF-8 byte-order mark is skipped; text with a UTF-16 byte-order mark (either
// byte order) is read as UTF-16 and its values are returned in UTF-8.
std::string ReadIniValue(std::istream& text, std::string_view section, std::string_view key);

enum class IniEncoding {
  kBytes,  // no byte-order mark: names and values are the file's bytes
  kUtf8,   // a UTF-8 byte-order mark: names and values are the file's bytes, in UTF-8
  kUtf16,  // the file was UTF-16: names and values are in UTF-8
};

// One line of INI text as the reader sees it.
struct IniLine {
  enum class Kind {
    kBlank,    // nothing but white space
    kSection,  // "[" and a name before the last "]"
    kEntry,    // a key, with or without "=" and a value
    kComment,  // starts with ";" or "#"
    kOther,    // "[" without "]"
  };
  std::size_t number = 0;  // from 1
  Kind kind = Kind::kBlank;
  // The section name or the key: white space around it dropped, cut at a zero byte, at most
  // 256 characters.
  std::string name;
  std::string value;                           // kEntry: as ReadIniValue returns it for this line
  bool hasEquals = false;                      // kEntry: the line holds "="
  bool cut = false;                            // kEntry: the value was longer than 1023 characters
  IniEncoding encoding = IniEncoding::kBytes;  // the text's, as its byte-order mark tells
};

// Calls visit for every line of the text, in order, reading it as ReadIniValue does (the
// same byte-order marks and encodings). A CR, an LF or a CR LF pair ends a line.
IniEncoding ScanIniLines(std::istream& text, const std::function<void(const IniLine&)>& visit);

}  // namespace ivx
