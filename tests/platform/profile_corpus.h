// Settings files with what the Windows profile call reads from them. The same table checks
// the Linux INI reader directly and the host call of each build through real files: under
// Wine that is the real GetPrivateProfileStringA, the reference for the Linux reader.
#pragma once

#include <string>
#include <vector>

namespace ivx::testing {

struct ProfileCase {
  const char* name;
  std::string text;
  std::string section;
  std::string key;
  std::string value;
};

inline std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

inline std::vector<ProfileCase> ProfileCorpus() {
  using namespace std::string_literals;
  const std::string base = "[VORX]\r\nvorxversion=6.1.0-00\r\n[INSTALLATION_SETTINGS]\r\n";
  return {
      {"plain", base + "VORX_PORT=8080\r\n", "INSTALLATION_SETTINGS", "VORX_PORT", "8080"},
      {"version", base, "VORX", "vorxversion", "6.1.0-00"},
      {"lf_only", "[S]\nA=1\n", "S", "A", "1"},
      {"cr_only", "[S]\rA=x\rB=y", "S", "B", "y"},
      {"no_final_newline", "[S]\r\nA=last", "S", "A", "last"},
      {"letter_case", "[installation_settings]\r\nvorx_port=1\r\n", "INSTALLATION_SETTINGS",
       "VORX_PORT", "1"},
      {"blanks_around", "  [ S ]  \r\n\t A \t=\t v w \t\r\n", "S", "A", "v w"},
      {"section_with_tail", "[S] trailing words\r\nA=1\r\n", "S", "A", "1"},
      {"section_last_bracket", "[S]x]\r\nA=1\r\n", "S]x", "A", "1"},
      {"not_a_section", "[S]\r\nA=0\r\n[T\r\nB=1\r\n", "S", "B", "1"},
      {"text_before_bracket", "x[S]\r\nA=1\r\n", "S", "A", ""},
      {"double_quotes", "[S]\r\nA=\"C:\\Program Files\\\"\r\n", "S", "A", "C:\\Program Files\\"},
      {"single_quotes", "[S]\r\nA='a b'\r\n", "S", "A", "a b"},
      {"quotes_then_blanks", "[S]\r\nA = \"x\" \r\n", "S", "A", "x"},
      {"mixed_quotes", "[S]\r\nA='x\"\r\n", "S", "A", "'x\""},
      {"one_quote", "[S]\r\nA=\"\r\n", "S", "A", "\""},
      {"two_quotes", "[S]\r\nA=\"\"\r\n", "S", "A", ""},
      {"inner_quotes", "[S]\r\nA=\"a\"b\"\r\n", "S", "A", "a\"b"},
      {"quote_only_at_start", "[S]\r\nA=\"x\r\n", "S", "A", "\"x"},
      {"semicolon_in_value", "[S]\r\nA=x ; not a comment\r\n", "S", "A", "x ; not a comment"},
      {"comment_lines", "[S]\r\n;A=1\r\n#A=2\r\nA=3\r\n", "S", "A", "3"},
      {"equals_in_value", "[S]\r\nA=a=b\r\n", "S", "A", "a=b"},
      {"first_key_wins", "[S]\r\nA=1\r\nA=2\r\n", "S", "A", "1"},
      {"key_without_value_wins", "[S]\r\nA\r\nA=2\r\n", "S", "A", ""},
      {"empty_value", "[S]\r\nA=\r\nA=2\r\n", "S", "A", ""},
      {"first_section_only", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nB=2\r\n", "S", "B", ""},
      {"other_section", "[T]\r\nA=1\r\n[S]\r\nA=2\r\n", "S", "A", "2"},
      {"key_before_sections", "A=1\r\n[S]\r\n", "S", "A", ""},
      {"missing_section", "[T]\r\nA=1\r\n", "S", "A", ""},
      {"missing_key", "[S]\r\nB=1\r\n", "S", "A", ""},
      {"empty_file", "", "S", "A", ""},
      {"blank_inside_key", "[S]\r\nVORX PORT=1\r\n", "S", "VORX PORT", "1"},
      {"utf8_bom", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "1"},
      {"two_utf8_boms", "\xEF\xBB\xBF\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", ""},
      {"utf16le_bom", "\xFF\xFE[\0S\0]\0\r\0\n\0A\0=\0\"\0q\0\"\0\r\0\n\0"s, "S", "A", "q"},
      {"utf16be_bom", "\xFE\xFF\0[\0S\0]\0\n\0A\0=\0001\0\n"s, "S", "A", "1"},
      {"ctrl_z_is_blank", "[S]\r\nA=\x1A v \x1A\r\n", "S", "A", "v"},
      {"other_controls_kept", "[S]\r\nA=\x1Cx\x7F\r\n", "S", "A", "\x1Cx\x7F"},
      {"high_bytes_kept", "[S]\r\nA=\xA0x\x85\r\n", "S", "A", "\xA0x\x85"},
      {"zero_byte_ends_value", "[S]\r\nA=1 \0 2\r\n"s, "S", "A", "1 "},
      {"zero_byte_ends_key", "[S]\r\nA\0junk=5\r\n"s, "S", "A", "5"},
      {"zero_byte_first", "[S]\r\n\0A=7\r\n"s, "S", "A", ""},
      {"zero_byte_section", "[Q\0R]\r\nA=8\r\n"s, "Q", "A", "8"},
      {"zero_byte_before_quote", "[S]\r\nA=\"x\0\"\r\n"s, "S", "A", "\"x"},
      {"long_value", "[S]\r\nA=" + Repeat('x', 2000) + "\r\n", "S", "A", Repeat('x', 1023)},
      {"quoted_1022", "[S]\r\nA=\"" + Repeat('x', 1022) + "\"\r\n", "S", "A", Repeat('x', 1022)},
      {"quoted_1023", "[S]\r\nA=\"" + Repeat('x', 1023) + "\"\r\n", "S", "A", Repeat('x', 1022)},
      {"quoted_1024", "[S]\r\nA=\"" + Repeat('x', 1024) + "\"\r\n", "S", "A", Repeat('x', 1023)},
      {"trailing_quote_only", "[S]\r\nA=" + Repeat('x', 1022) + "\"\r\n", "S", "A",
       Repeat('x', 1022) + "\""},
      {"long_line_before", "[S]\r\nB=" + Repeat('y', 100000) + "\r\nA=1\r\n", "S", "A", "1"},
      {"long_key_blanks", "[S]\r\nA" + Repeat(' ', 5000) + "=2\r\n", "S", "A", "2"},
  };
}

}  // namespace ivx::testing
