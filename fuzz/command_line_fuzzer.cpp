// Any bytes as a command line: the splitter never fails. And any arguments (the fuzz data
// split at zero bytes, which no argument can hold), quoted by the rule the C runtime
// documents and joined behind a quoted program name, come back from the splitter unchanged.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/command_line.h"

namespace {

using ivx::fuzz::Require;

std::vector<std::string> SplitAtZeros(std::string_view data) {
  std::vector<std::string> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t zero = data.find('\0', start);
    pieces.emplace_back(data.substr(start, zero - start));
    if (zero == std::string_view::npos) return pieces;
    start = zero + 1;
  }
}

// In quotes; backslashes are doubled where a quotation mark follows them (the closing one
// included), and each mark of the argument is escaped.
std::string Quote(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '"') quoted.append(backslashes + 1, '\\');
    backslashes = (c == '\\') ? backslashes + 1 : 0;
    quoted += c;
  }
  quoted.append(backslashes, '\\');
  return quoted + '"';
}

// The program name knows no escapes, so a name without quotation marks is simply enclosed.
std::string WithoutQuotationMarks(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

void CheckRoundTrip(std::vector<std::string> args) {
  args[0] = WithoutQuotationMarks(args[0]);
  std::string line = '"' + args[0] + '"';
  for (std::size_t i = 1; i < args.size(); ++i) line += " " + Quote(args[i]);
  Require(ivx::SplitCommandLine(line) == args, "quoted arguments come back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = ivx::fuzz::AsText(data, size);
  const std::vector<std::string> split = ivx::SplitCommandLine(text);
  Require(split.empty() == text.empty(), "only an empty line gives no argument");
  CheckRoundTrip(SplitAtZeros(text));
  return 0;
}
