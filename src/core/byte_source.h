// The bytes of INI text as the Windows profile reader sees them: after a UTF-8 byte-order
// mark, or decoded from UTF-16 (either byte order) into UTF-8 when the text starts with a
// UTF-16 byte-order mark; otherwise the bytes as they stand. The text is read in chunks, so the
// memory used does not grow with its size or the length of its lines.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <istream>
#include <optional>
#include <string>

#include "core/ini_reader.h"

namespace ivx {

class ByteSource {
 public:
  static constexpr int kEnd = -1;  // the text has ended

  static bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }

  explicit ByteSource(std::istream& in);

  // The next byte (0 to 255), or kEnd. In UTF-16 text a lone half of a surrogate pair is "?"
  // and an odd last byte is no character.
  int Next();

  IniEncoding TextEncoding() const;

  // Consumes the rest of the line and returns its end (CR or LF), or kEnd. Lines that
  // cannot hold the value are passed over this way, so a large file is read quickly.
  int SkipLine();

 private:
  enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

  bool Fill();
  int Raw();
  void DetectEncoding();
  void Push(std::initializer_list<int> bytes);
  std::optional<unsigned> Unit();
  int NextDecoded();
  void EncodeUtf8(unsigned code);

  std::istream& in_;
  std::string chunk_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  Encoding encoding_ = Encoding::kBytes;
  bool utf8Mark_ = false;
  std::string pending_;
  std::size_t pendingPos_ = 0;
  std::optional<unsigned> heldUnit_;
};

}  // namespace ivx
