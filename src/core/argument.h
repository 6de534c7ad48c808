// One argument of a command, in the system's code page, as the system handed it over.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace ivx {

struct Argument {
  std::string text;
  // False when the argument holds a character that the code page cannot express (Windows):
  // its text has the default character in that place, so it only tells an option from a
  // value; it names nothing.
  bool expressible = true;
};

// Arguments whose every character the code page expresses, as every argument is on POSIX.
inline std::vector<Argument> ExpressibleArguments(const std::vector<std::string>& texts) {
  std::vector<Argument> arguments;
  arguments.reserve(texts.size());
  std::transform(texts.begin(), texts.end(), std::back_inserter(arguments),
                 [](const std::string& text) { return Argument{text}; });
  return arguments;
}

}  // namespace ivx
