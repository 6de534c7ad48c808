#include "json.h"

#include <stdexcept>

namespace e2e::json {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Value Document() {
    Value value = Next();
    Blanks();
    if (pos_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("not JSON: " + what + " at byte " + std::to_string(pos_));
  }

  void Blanks() {
    while (pos_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[pos_]) != std::string_view::npos) {
      ++pos_;
    }
  }

  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  void Expect(char c) {
    Blanks();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail(std::string("expected ") + c);
    ++pos_;
  }

  Value Next() {
    Blanks();
    if (pos_ >= text_.size()) Fail("end of text");
    Value value;
    const char c = text_[pos_];
    if (c == '{') return Object();
    if (c == '[') return Array();
    if (c == '"') {
      value.type = Value::Type::kString;
      value.text = String();
    } else if (Take("true") || Take("false")) {
      value.type = Value::Type::kBool;
      value.boolean = text_[pos_ - 1] == 'e' && text_[pos_ - 2] == 'u';
    } else if (Take("null")) {
      value.type = Value::Type::kNull;
    } else {
      value.type = Value::Type::kNumber;
      const std::size_t start = pos_;
      while (pos_ < text_.size() &&
             std::string_view("+-.eE0123456789").find(text_[pos_]) != std::string_view::npos)
        ++pos_;
      if (start == pos_) Fail("unexpected character");
      value.number = std::stod(std::string(text_.substr(start, pos_ - start)));
    }
    return value;
  }

  Value Object() {
    Value value;
    value.type = Value::Type::kObject;
    Expect('{');
    Blanks();
    if (Take("}")) return value;
    do {
      Blanks();
      if (pos_ >= text_.size() || text_[pos_] != '"') Fail("expected a name");
      const std::string name = String();
      Expect(':');
      if (!value.fields.emplace(name, Next()).second) Fail("a name twice: " + name);
      Blanks();
    } while (Take(","));
    Expect('}');
    return value;
  }

  Value Array() {
    Value value;
    value.type = Value::Type::kArray;
    Expect('[');
    Blanks();
    if (Take("]")) return value;
    do {
      value.items.push_back(Next());
      Blanks();
    } while (Take(","));
    Expect(']');
    return value;
  }

  unsigned Hex4() {
    if (pos_ + 4 > text_.size()) Fail("short \\u escape");
    const unsigned code = std::stoul(std::string(text_.substr(pos_, 4)), nullptr, 16);
    pos_ += 4;
    return code;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::string String() {
    ++pos_;  // the opening mark
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated escape");
      const char e = text_[pos_++];
      const std::string_view simple = "\"\\/bfnrt";
      const std::string_view meant = "\"\\/\b\f\n\r\t";
      if (const std::size_t at = simple.find(e); at != std::string_view::npos) {
        out += meant[at];
      } else if (e == 'u') {
        unsigned code = Hex4();
        if (code >= 0xD800 && code <= 0xDBFF && Take("\\u")) {
          code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
        }
        AppendUtf8(out, code);
      } else {
        Fail("unknown escape");
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const Value& Value::operator[](const std::string& name) const {
  const auto found = fields.find(name);
  if (found == fields.end()) throw std::runtime_error("no field " + name);
  return found->second;
}

Value Parse(std::string_view text) { return Reader(text).Document(); }

}  // namespace e2e::json
