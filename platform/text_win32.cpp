#include <windows.h>

#include <climits>

#include "platform/text.h"

namespace ivx {
namespace {

int Length(std::size_t size) { return size < INT_MAX ? static_cast<int>(size) : INT_MAX; }

}  // namespace

// Through UTF-16. Every byte sequence of the ANSI code page converts; a byte that is no
// character there becomes the code page's default character.
std::string SystemTextToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), Length(text.size()), nullptr, 0);
  if (units <= 0) return std::string(text);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), Length(text.size()), wide.data(), units);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string(text);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

}  // namespace ivx
