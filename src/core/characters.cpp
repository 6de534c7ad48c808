#include "core/characters.h"

namespace ivx {

bool NoLeadBytes(char /*byte*/) { return false; }

std::size_t CharacterEnd(std::string_view text, std::size_t pos, LeadByteTest isLead) {
  return isLead(text[pos]) && pos + 1 < text.size() ? pos + 2 : pos + 1;
}

std::size_t LastCharacterStart(std::string_view text, LeadByteTest isLead) {
  std::size_t last = 0;
  ForEachCharacter(text, isLead, [&last](std::size_t pos, std::string_view) { last = pos; });
  return last;
}

namespace {

// The length of the UTF-8 sequence that starts at pos, or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  const std::size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                             : lead >= 0xe0 && lead <= 0xef ? 3
                             : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                            : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  const unsigned char second = byte(pos + 1);
  const unsigned char low = lead == 0xe0 ? 0xa0 : lead == 0xf0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xed ? 0x9f : lead == 0xf4 ? 0x8f : 0xbf;
  if (second < low || second > high) return 0;
  for (std::size_t i = pos + 2; i < pos + length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xbf) return 0;
  }
  return length;
}

}  // namespace

bool HoldsReplacementCharacter(std::string_view utf8) {
  return utf8.find("\xEF\xBF\xBD") != std::string_view::npos;
}

bool IsUtf8BeyondAscii(std::string_view text) {
  bool multiByte = false;
  for (std::size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) return false;
    multiByte = true;
    pos += length;
  }
  return multiByte;
}

}  // namespace ivx
