#include "platform/text.h"

namespace ivx {

std::string SystemTextToUtf8(std::string_view text) { return std::string(text); }

}  // namespace ivx
