#include "core/quoting.h"

namespace ivx {

std::string EscapeQuotationMarks(std::string_view text) {
  std::string escaped;
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '"') {
      escaped.append(backslashes, '\\');
      escaped += "\\\"";
    } else {
      escaped += c;
    }
    backslashes = (c == '\\') ? backslashes + 1 : 0;
  }
  return escaped;
}

std::string CloseQuotes(std::string text) {
  std::size_t backslashes = 0;
  while (backslashes < text.size() && text[text.size() - 1 - backslashes] == '\\') ++backslashes;
  text.append(backslashes, '\\');
  return text + '"';
}

}  // namespace ivx
