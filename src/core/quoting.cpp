#include "core/quoting.h"

namespace ivx {

std::string EscapeQuotationMarks(std::string_view text, LeadByteTest isLead) {
  std::string escaped;
  std::size_t backslashes = 0;
  ForEachCharacter(text, isLead, [&](std::size_t /*pos*/, std::string_view character) {
    if (character == "\"") {
      escaped.append(backslashes, '\\');
      escaped += "\\\"";
    } else {
      escaped += character;
    }
    backslashes = (character == "\\") ? backslashes + 1 : 0;
  });
  return escaped;
}

std::string CloseQuotes(std::string text, LeadByteTest isLead) {
  std::size_t backslashes = 0;
  ForEachCharacter(text, isLead, [&backslashes](std::size_t /*pos*/, std::string_view character) {
    backslashes = (character == "\\") ? backslashes + 1 : 0;
  });
  text.append(backslashes, '\\');
  return text + '"';
}

}  // namespace ivx
