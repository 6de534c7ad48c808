// INI text as the Windows profile call reads it: section and key names matched without regard
// to letter case, white space around names and values dropped, one pair of enclosing quotation
// marks (" or ') dropped, only the first section of a name read and in it the first matching
// key, a value cut to 1023 characters, and empty text when the section or key is missing.
//
// One reader walks the text a line at a time and tells a visitor what it finds; each question
// asked of a file (one value, every line with its number) is a small visitor on it. The text is
// read as a stream: the memory used does not grow with its size or the length of its lines. A
// UTF-8 byte-order mark is skipped; text with a UTF-16 byte-order mark (either byte order) is
// read as UTF-16 and its names and values are given in UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

namespace ivx {

inline constexpr std::size_t kMaxProfileValue = 1023;

enum class IniEncoding {
  kBytes,  // no byte-order mark: names and values are the file's bytes
  kUtf8,   // a UTF-8 byte-order mark: names and values are the file's bytes, in UTF-8
  kUtf16,  // the file was UTF-16: names and values are in UTF-8
};

// One line of INI text as the reader sees it. A CR, an LF or a CR LF pair ends a line.
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
  bool nameCut = false;                        // the name was longer than 256 characters
  std::string value;                           // kEntry: the value as read
  bool hasEquals = false;                      // kEntry: the line holds "="
  bool cut = false;                            // kEntry: the value was longer than 1023 characters
  IniEncoding encoding = IniEncoding::kBytes;  // the text's, as its byte-order mark tells
};

// What the reader does once it has told the visitor something.
enum class IniNext {
  kReadOn,
  kSkipLine,  // pass over the rest of the line unread; its end is not reported
  kStop,      // read no further
};

class IniVisitor {
 public:
  virtual ~IniVisitor() = default;
  // The line's first character that is no white space tells its kind: kSection, kComment or
  // kEntry (a section line without "]" ends as kOther).
  virtual IniNext LineStarts(IniLine::Kind kind) = 0;
  // An entry's key is complete: its "=" was read (line.name and line.number are set).
  virtual IniNext KeyRead(const IniLine& line) = 0;
  // A line that was not passed over ended, blank lines included.
  virtual IniNext LineEnds(const IniLine& line) = 0;
};

// Names are matched as the Windows reader matches them: an ASCII capital letter as its small
// letter, every other byte as it stands.
char Lower(char c);
bool SameName(std::string_view a, std::string_view b);

// Walks the text, telling the visitor of each line, until the text ends or the visitor stops.
IniEncoding ReadIni(std::istream& text, IniVisitor& visitor);

// The value of the key in the first section of that name; empty when either is missing.
std::string ReadIniValue(std::istream& text, std::string_view section, std::string_view key);

// Calls visit for every line of the text, in order.
IniEncoding ScanIniLines(std::istream& text, const std::function<void(const IniLine&)>& visit);

}  // namespace ivx
