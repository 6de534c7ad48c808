#include <windows.h>

#include <climits>
#include <optional>

#include "platform/code_page.h"

namespace ivx {
namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

// nullopt when the system refuses the conversion.
std::optional<std::string> Convert(std::wstring_view text, DWORD flags, BOOL* defaultUsed) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, defaultUsed);
  if (size <= 0) return std::nullopt;
  std::string converted(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), length, converted.data(), size, nullptr,
                          defaultUsed) != size) {
    return std::nullopt;
  }
  return converted;
}

}  // namespace

// UTF-8 as the ANSI code page takes neither the best-fit flag nor the default-character
// report; it converts every character except half a surrogate pair, which it then refuses.
Conversion ToCodePage(std::wstring_view text) {
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL defaultUsed = FALSE;
  const std::optional<std::string> exact = Convert(
      text, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, utf8 ? nullptr : &defaultUsed);
  const bool replacement = text.find(kReplacementCharacter) != std::wstring_view::npos;
  if (!exact) return {Convert(text, 0, nullptr).value_or(std::string()), false, replacement};
  return {*exact, defaultUsed == FALSE, replacement};
}

Conversion Utf8ToCodePage(std::string_view utf8) {
  if (utf8.empty()) return {};
  if (utf8.size() > INT_MAX) return {std::string(), false};
  const int length = static_cast<int>(utf8.size());
  // Invalid UTF-8 is converted once more without the check, each bad byte as U+FFFD.
  bool valid = true;
  DWORD flags = MB_ERR_INVALID_CHARS;
  int size = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
  if (size <= 0) {
    valid = false;
    flags = 0;
    size = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
  }
  if (size <= 0) return {std::string(), false};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, wide.data(), size);
  Conversion converted = ToCodePage(wide);
  converted.exact = converted.exact && valid;
  return converted;
}

std::string Utf8ToSystemText(const std::string& utf8) { return Utf8ToCodePage(utf8).text; }

std::wstring FromCodePage(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size) != size) return {};
  return wide;
}

std::string SystemTextToUtf8(const std::string& text) {
  const std::wstring wide = FromCodePage(text);
  if (wide.empty() || wide.size() > INT_MAX) return {};
  const int length = static_cast<int>(wide.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

bool IsCodePageLeadByte(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE; }

CommandArguments HostArguments(int argc, const wchar_t* const* argv) {
  CommandArguments arguments;
  for (int i = 0; i < argc; ++i) {
    Conversion converted = ToCodePage(argv[i]);
    arguments.push_back({std::move(converted.text), converted.exact});
  }
  return arguments;
}

}  // namespace ivx
