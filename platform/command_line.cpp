#include "platform/command_line.h"

#include <cstddef>

namespace ivx {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// The program name knows no escapes: a quotation mark only switches grouping.
std::string TakeProgramName(std::string_view line, std::size_t& pos) {
  std::string name;
  bool quoted = false;
  for (; pos < line.size() && (quoted || !IsSeparator(line[pos])); ++pos) {
    if (line[pos] == '"') {
      quoted = !quoted;
    } else {
      name += line[pos];
    }
  }
  return name;
}

std::string TakeArgument(std::string_view line, std::size_t& pos) {
  std::string arg;
  bool quoted = false;
  while (pos < line.size()) {
    std::size_t slashes = 0;
    for (; pos < line.size() && line[pos] == '\\'; ++pos) ++slashes;
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

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> args;
  if (commandLine.empty()) return args;
  std::size_t pos = 0;
  args.push_back(TakeProgramName(commandLine, pos));
  for (SkipSeparators(commandLine, pos); pos < commandLine.size();
       SkipSeparators(commandLine, pos)) {
    args.push_back(TakeArgument(commandLine, pos));
  }
  return args;
}

}  // namespace ivx
