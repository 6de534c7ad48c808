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

}  // namespace ivx
