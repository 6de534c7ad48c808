// Code page 932 (Japanese) for the tests of the rules that walk text by character: its lead
// bytes, and characters whose second byte is 0x5C, the byte of "\".
#pragma once

#include <string>

namespace ivx::testing {

inline bool IsLeadByte932(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

inline const std::string kSo = "\x83\x5C";                    // katakana so
inline const std::string kHyo = "\x95\x5C";                   // the kanji for "table"
inline const std::string kSofuto = kSo + "\x83\x74\x83\x67";  // "software" in katakana

}  // namespace ivx::testing
