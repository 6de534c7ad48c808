#include "core/characters.h"

#include <gtest/gtest.h>

#include <string>

namespace ivx {
namespace {

struct Utf8Case {
  std::string text;
  bool utf8;
};

TEST(Characters, TellsUtf8TextFromCodePageTextByItsBytesAbove127) {
  const Utf8Case cases[] = {
      {"D:\\Gr\xC3\xB6\xC3\x9F"
       "e",
       true},                      // "Größe" in UTF-8
      {"\xE8\xA1\xA8", true},      // a three-byte character
      {"\xF0\x9F\x98\x80", true},  // four bytes, beyond the basic plane
      {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF, the last code point
      {"D:\\VORX", false},         // nothing above 127
      {"", false},                 //
      {"D:\\Gr\xF6\xDF"
       "e",
       false},                      // "Größe" in code page 1252
      {"\x95\x5C", false},          // a code page 932 character
      {"\xC3\xB6\xF6", false},      // UTF-8, then a byte that is not
      {"\xC3", false},              // a sequence cut short
      {"\xE8\xA1", false},          //
      {"\xC0\xAF", false},          // an overlong "/"
      {"\xE0\x80\xAF", false},      // another
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
      {"\x80", false},              // a continuation byte alone
      {"\xC3\xB6x\xC3", false},     // cut short at the end
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(IsUtf8BeyondAscii(c.text), c.utf8) << c.text;
  }
}

}  // namespace
}  // namespace ivx
