// What in a settings file deserves a second look although the installation accepts it or
// passes over it in silence: misspelt keys and sections, keys in the wrong section, repeats,
// values that will not reach the product as their author may think. Warnings never change
// the verdict.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace ivx::check {

struct Warning {
  std::size_t line;  // from 1
  std::string text;  // in plain words, naming the key or section
};

struct WarningScan {
  // In the order of the lines. After the first 100, one more says how many are not listed:
  // memory does not grow with the size of the file.
  std::vector<Warning> warnings;
  // The file was UTF-16 or carries a UTF-8 byte-order mark: names and values in the texts are
  // in UTF-8 (otherwise in the system's code page).
  bool utf8 = false;
};

// Reads the settings file's text as the installation's reader does (byte-order marks and
// UTF-16 included), as a stream: memory does not grow with its size.
WarningScan ScanWarnings(std::istream& text);

// The known name nearest to a name that is not known, when one is close enough to be a
// misspelling of it; empty otherwise. Letter case is ignored.
std::string NearestName(std::string_view name, const std::vector<std::string_view>& known);

}  // namespace ivx::check
