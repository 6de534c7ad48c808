// Any bytes as a settings file. For the sections and keys the command reads, and for some it
// never finds, the reader returns what the profile call can return: at most 1023 bytes, no
// zero byte and no line end; the first matching line decides; and text stored as UTF-16
// says the same as its ASCII original.
#include <algorithm>
#include <array>
#include <sstream>
#include <string>

#include "core/ini_reader.h"
#include "fuzz/fuzz_check.h"

namespace {

using ivx::fuzz::Require;

struct Lookup {
  std::string_view section;
  std::string_view key;
};

constexpr std::array<Lookup, 5> kLookups = {{
    {"VORX", "vorxversion"},
    {"INSTALLATION_SETTINGS", "VORX_PORT"},
    {"installation_settings", "vorx_instdir"},
    {"S", "A"},
    {"", ""},
}};

std::string Read(std::string_view text, const Lookup& lookup) {
  std::istringstream in{std::string(text)};
  return ivx::ReadIniValue(in, lookup.section, lookup.key);
}

bool IsAscii(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Such a start may be read as a byte-order mark, which changes how the rest is read.
bool StartsLikeByteOrderMark(std::string_view text) {
  const std::string_view start = text.substr(0, 2);
  return start == "\xFF\xFE" || start == "\xFE\xFF" || start == "\xEF\xBB";
}

std::string AsUtf16LittleEndian(std::string_view ascii) {
  std::string utf16 = "\xFF\xFE";
  for (char c : ascii) {
    utf16 += c;
    utf16 += '\0';
  }
  return utf16;
}

void CheckLookup(std::string_view text, const Lookup& lookup) {
  const std::string value = Read(text, lookup);
  Require(value.size() <= ivx::kMaxProfileValue, "a value has at most 1023 bytes");
  Require(value.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos,
          "a value holds no zero byte, CR or LF");
  if (!value.empty() && !StartsLikeByteOrderMark(text)) {
    const std::string twice = std::string(text) + "\n" + std::string(text);
    Require(Read(twice, lookup) == value, "nothing after the line that holds the value counts");
  }
  if (IsAscii(text)) {
    Require(Read(AsUtf16LittleEndian(text), lookup) == value,
            "UTF-16 text gives the value of its ASCII original");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = ivx::fuzz::AsText(data, size);
  for (const Lookup& lookup : kLookups) CheckLookup(text, lookup);
  return 0;
}
