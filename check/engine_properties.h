// The properties that the installer engine takes from the text that the launcher hands it,
// by the Installer's rules for a property on its command line.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ivx::check {

// key -> value, in the order the text gives them.
using EngineProperties = std::vector<std::pair<std::string, std::string>>;

// The launcher's last argument ("/v" and what the launcher hands on: "/qr KEY=value ...")
// read as the engine reads it: blanks separate pieces; a piece KEY=value sets KEY; a value
// that starts with a quotation mark runs to the next lone one, across blanks, and two marks
// inside it stand for one; anything after that closing mark up to the next blank is no part
// of the value (so ""x"" is an empty value); pieces without "=" (switches such as /qr) set
// nothing. A key given twice keeps its last value. Nothing here is special to the engine's
// parser: no backslash escapes, no %VAR%, no [Property].
EngineProperties EnginePropertiesOf(std::string_view launcherArgument);

}  // namespace ivx::check
