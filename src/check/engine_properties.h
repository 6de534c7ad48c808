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
// inside it stand for one; pieces without "=" (switches such as /qr) set nothing. A key given
// twice keeps its last value. Nothing else is special to the engine: no backslash escapes,
// no %VAR%, no [Property]. Those are the only forms the property string places; on others
// engines differ, and this reading is no promise about them: a mark inside an unquoted
// value is kept as a character, text right after a closing mark is dropped.
EngineProperties EnginePropertiesOf(std::string_view launcherArgument);

}  // namespace ivx::check
