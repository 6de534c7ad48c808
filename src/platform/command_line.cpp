#include "platform/command_line.h"

#include <cstddef>

namespace ivx {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// A lead byte and the byte after it are one character, copied whole: its second byte is never
// a backslash, a quotation mark or a blank.
bool TakeTwoByteCharacter(std::string_view line, std::size_t& pos, LeadByteTest isLead,
                          std::string& out) {
  if (pos + 1 >= line.size() || !isLead(line[pos])) return false;
  out.append(line.substr(pos, 2));
  pos += 2;
  return true;
}

// The program name knows no escapes: a quotation mark only switches grouping.
std::string TakeProgramName(std::string_view line, std::size_t& pos, LeadByteTest isLead) {
  std::string name;
  bool quoted = false;
  while (pos < line.size() && (quoted || !IsSeparator(line[pos]))) {
    if (TakeTwoByteCharacter(line, pos, isLead, name)) continue;
    if (line[pos] == '"') {
      quoted = !quoted;
    } else {
      name += line[pos];
    }
    ++pos;
  }
  return name;
}

std::string TakeArgument(std::string_view line, std::size_t& pos, LeadByteTest isLead) {
  std::string arg;
  bool quoted = false;
  while (pos < line.size()) {
    std::size_t slashes = 0;
    for (; pos < line.size() && line[pos] == '\\'; ++pos) ++slashes;
    if (pos < line.size() && isLead(line[pos]) && pos + 1 < line.size()) {
      arg.append(slashes, '\\');
      TakeTwoByteCharacter(line, pos, isLead, arg);
      continue;
    }
    bool copyChar = true;
    if (pos < line.size() && line[pos] == '"') {
      if (slashes % 2 == 0) {
        if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
          ++pos;  // two marks inside quotes: one literal mark, still quoted
        } else {
          copyChar = false;
          quoted = !quoted;
        }
      }
      slashes /= 2;
    }
    arg.append(slashes, '\\');
    if (pos >= line.size() || (!quoted && IsSeparator(line[pos]))) break;
    if (copyChar) arg += line[pos];
    ++pos;
  }
  return arg;
}

void SkipSeparators(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsSeparator(line[pos])) ++pos;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine, LeadByteTest isLead) {
  std::vector<std::string> args;
  if (commandLine.empty()) return args;
  std::size_t pos = 0;
  args.push_back(TakeProgramName(commandLine, pos, isLead));
  for (SkipSeparators(commandLine, pos); pos < commandLine.size();
       SkipSeparators(commandLine, pos)) {
    args.push_back(TakeArgument(commandLine, pos, isLead));
  }
  return args;
}

}  // namespace ivx
