#include "platform/ini_reader.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

namespace ivx {
namespace {

constexpr int kEnd = -1;

// White space around lines, names and values; the Windows reader counts Ctrl-Z as one too.
bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of the text as the profile reader sees them: after a UTF-8 byte-order mark, or
// decoded from UTF-16 into UTF-8 when the text starts with a UTF-16 byte-order mark.
class ByteSource {
 public:
  explicit ByteSource(std::istream& in) : in_(in), chunk_(kFirstChunk, '\0') { DetectEncoding(); }

  int Next() {
    if (pendingPos_ < pending_.size()) return static_cast<unsigned char>(pending_[pendingPos_++]);
    if (encoding_ == Encoding::kBytes) return Raw();
    return NextDecoded();
  }

  IniEncoding TextEncoding() const {
    if (encoding_ != Encoding::kBytes) return IniEncoding::kUtf16;
    return utf8Mark_ ? IniEncoding::kUtf8 : IniEncoding::kBytes;
  }

  // Consumes the rest of the line and returns its end (CR or LF), or kEnd. Lines that
  // cannot hold the value are passed over this way, so a large file is read quickly.
  int SkipLine() {
    if (encoding_ != Encoding::kBytes || pendingPos_ < pending_.size()) {
      int c = Next();
      while (c != kEnd && !IsLineEnd(c)) c = Next();
      return c;
    }
    for (;;) {
      const char* begin = chunk_.data() + pos_;
      const std::size_t left = size_ - pos_;
      const void* lf = std::memchr(begin, '\n', left);
      const std::size_t span = lf ? static_cast<const char*>(lf) - begin : left;
      const void* cr = std::memchr(begin, '\r', span);
      const char* end = static_cast<const char*>(cr ? cr : lf);
      if (end != nullptr) {
        pos_ += static_cast<std::size_t>(end - begin) + 1;
        return *end;
      }
      if (!Fill()) return kEnd;
    }
  }

 private:
  enum class Encoding { kBytes, kUtf16Le, kUtf16Be };
  // One read from the file: small at first, since most settings files are, then larger.
  static constexpr std::size_t kFirstChunk = 4096;
  static constexpr std::size_t kChunk = std::size_t{64} * 1024;

  bool Fill() {
    if (size_ == chunk_.size() && size_ < kChunk) chunk_.resize(kChunk);  // the last read was full
    in_.read(chunk_.data(), static_cast<std::streamsize>(chunk_.size()));
    size_ = static_cast<std::size_t>(in_.gcount());
    pos_ = 0;
    return size_ > 0;
  }

  int Raw() {
    if (pos_ == size_ && !Fill()) return kEnd;
    return static_cast<unsigned char>(chunk_[pos_++]);
  }

  void DetectEncoding() {
    const int first = Raw();
    const int second = Raw();
    if (first == 0xff && second == 0xfe) {
      encoding_ = Encoding::kUtf16Le;
    } else if (first == 0xfe && second == 0xff) {
      encoding_ = Encoding::kUtf16Be;
    } else if (first == 0xef && second == 0xbb) {
      const int third = Raw();
      utf8Mark_ = third == 0xbf;
      if (!utf8Mark_) Push({first, second, third});
    } else {
      Push({first, second});
    }
  }

  void Push(std::initializer_list<int> bytes) {
    pending_.clear();
    pendingPos_ = 0;
    for (int b : bytes) {
      if (b == kEnd) break;
      pending_ += static_cast<char>(b);
    }
  }

  std::optional<unsigned> Unit() {
    if (heldUnit_) return std::exchange(heldUnit_, std::nullopt);
    const int a = Raw();
    const int b = Raw();
    if (a == kEnd || b == kEnd) return std::nullopt;  // an odd last byte is no character
    return encoding_ == Encoding::kUtf16Le ? static_cast<unsigned>(a | (b << 8))
                                           : static_cast<unsigned>((a << 8) | b);
  }

  int NextDecoded() {
    const auto unit = Unit();
    if (!unit) return kEnd;
    unsigned code = *unit;
    if (code >= 0xd800 && code <= 0xdbff) {
      const auto low = Unit();
      if (!low || *low < 0xdc00 || *low > 0xdfff) {
        heldUnit_ = low;  // not the second half of a pair: it is a character of its own
        return '?';
      }
      code = 0x10000 + ((code - 0xd800) << 10) + (*low - 0xdc00);
    } else if (code >= 0xdc00 && code <= 0xdfff) {
      return '?';
    }
    EncodeUtf8(code);
    return static_cast<unsigned char>(pending_[pendingPos_++]);
  }

  void EncodeUtf8(unsigned code) {
    if (code < 0x80) {
      Push({static_cast<int>(code)});
    } else if (code < 0x800) {
      Push({static_cast<int>(0xc0 | (code >> 6)), static_cast<int>(0x80 | (code & 0x3f))});
    } else if (code < 0x10000) {
      Push({static_cast<int>(0xe0 | (code >> 12)), static_cast<int>(0x80 | ((code >> 6) & 0x3f)),
            static_cast<int>(0x80 | (code & 0x3f))});
    } else {
      Push({static_cast<int>(0xf0 | (code >> 18)), static_cast<int>(0x80 | ((code >> 12) & 0x3f)),
            static_cast<int>(0x80 | ((code >> 6) & 0x3f)), static_cast<int>(0x80 | (code & 0x3f))});
    }
  }

  std::istream& in_;
  std::string chunk_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  Encoding encoding_ = Encoding::kBytes;
  bool utf8Mark_ = false;
  std::string pending_;
  std::size_t pendingPos_ = 0;
  std::optional<unsigned> heldUnit_;
};

// A name or value of any length, kept only as far as needed to know what it is once its
// leading and trailing white space is dropped and it is cut at its first zero byte (the
// Windows reader copies names and values as C strings).
class TrimmedText {
 public:
  explicit TrimmedText(std::size_t keep) : keep_(keep) {}

  void Add(char c) {
    if (!started_ && IsSpace(static_cast<unsigned char>(c))) return;
    started_ = true;
    if (head_.size() < keep_) head_ += c;
    if (!zeroAt_) {
      if (c == '\0') {
        zeroAt_ = length_;
        beforeZero_ = last_;
      } else if (!IsSpace(static_cast<unsigned char>(c))) {
        end_ = length_ + 1;
        lastNonSpace_ = c;
      }
      last_ = c;
    }
    ++length_;
  }

  std::size_t Length() const { return zeroAt_ ? *zeroAt_ : end_; }
  char Back() const { return zeroAt_ ? beforeZero_ : lastNonSpace_; }
  // The first n characters of the text (n must not exceed what is kept).
  std::string_view Head(std::size_t n) const { return std::string_view(head_).substr(0, n); }

  // True when no further character can make the text equal to a name of that length.
  bool LongerThan(std::size_t length) const { return !zeroAt_ && end_ > length; }

  bool EqualsIgnoringCase(std::string_view name) const {
    if (Length() != name.size() || name.size() > keep_) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (Lower(head_[i]) != Lower(name[i])) return false;
    }
    return true;
  }

 private:
  std::size_t keep_;
  std::string head_;
  bool started_ = false;
  std::size_t length_ = 0;
  std::size_t end_ = 0;
  std::optional<std::size_t> zeroAt_;
  char last_ = '\0';
  char beforeZero_ = '\0';
  char lastNonSpace_ = '\0';
};

struct Value {
  std::string text;
  bool cut = false;  // characters were dropped to fit the buffer
};

// One enclosing pair of quotation marks is dropped, then the value is cut to the buffer.
// When the text inside the marks, closing mark included, fills the buffer exactly, the
// Windows reader still drops the buffer's last character; that is copied too.
Value ProfileValue(const TrimmedText& value) {
  const std::size_t length = value.Length();
  const std::string_view head = value.Head(kMaxProfileValue + 2);
  const bool quoted = length >= 2 && (head[0] == '"' || head[0] == '\'') && value.Back() == head[0];
  if (!quoted) {
    return {std::string(head.substr(0, std::min(length, kMaxProfileValue))),
            length > kMaxProfileValue};
  }
  const std::size_t rest = length - 1;
  std::string text(head.substr(1, std::min(rest, kMaxProfileValue)));
  if (rest <= kMaxProfileValue + 1) text.pop_back();
  const bool cut = text.size() < length - 2;
  return {std::move(text), cut};
}

// The search for one key's value in one section, a line at a time, each line read only as far
// as it can matter. Every line starts in kLeading, which passes over white space; the first
// other character chooses the line's state:
//   kSection  "[" begins a section line. Its name is the text before the last "]" on the line,
//             white space around it dropped, compared without regard to letter case; a line
//             without "]" names no section. Only the first section of the wanted name is read:
//             the next section line of any name ends the search.
//   kKey      any other line inside the wanted section. The name before the first "=" is
//             compared without regard to letter case, white space around it dropped; a name
//             already longer than the key turns the line into kSkip. The key without any "="
//             is found with an empty value.
//   kValue    the key matched: the rest of the line is the value, white space around it
//             dropped and cut at a zero byte; at the line's end one pair of enclosing quotation
//             marks is dropped and the value cut to 1023 characters. The first line of the key
//             wins: the search ends there.
//   kSkip     a line that cannot hold the value (outside the wanted section, or a key that
//             does not match, comments included) is passed over to its end.
// The end of the text ends the search with an empty value.
class ValueSearch {
 public:
  ValueSearch(std::string_view section, std::string_view key) : section_(section), key_(key) {}

  // Reads lines until the value is known.
  std::string Run(ByteSource& source) {
    for (;;) {
      const int c = line_ == Line::kSkip ? source.SkipLine() : source.Next();
      if (c == kEnd || IsLineEnd(c)) {
        if (EndLine()) return found_;
        if (c == kEnd) return {};
      } else {
        Feed(static_cast<char>(c));
      }
    }
  }

 private:
  enum class Line { kLeading, kSection, kKey, kValue, kSkip };

  void Feed(char c) {
    switch (line_) {
      case Line::kLeading:
        if (IsSpace(static_cast<unsigned char>(c))) return;
        if (c == '[') {
          line_ = Line::kSection;
        } else if (inSection_) {
          line_ = Line::kKey;
          FeedKey(c);
        } else {
          line_ = Line::kSkip;
        }
        return;
      case Line::kSection:
        if (c == ']') {
          bracketSeen_ = true;
          sectionMatches_ = name_.EqualsIgnoringCase(section_);
        }
        name_.Add(c);
        return;
      case Line::kKey:
        return FeedKey(c);
      case Line::kValue:
        return value_.Add(c);
      case Line::kSkip:
        return;
    }
  }

  void FeedKey(char c) {
    if (c == '=') {
      line_ = name_.EqualsIgnoringCase(key_) ? Line::kValue : Line::kSkip;
    } else {
      name_.Add(c);
      if (name_.LongerThan(key_.size())) line_ = Line::kSkip;
    }
  }

  // True when the search is over (found_ holds the value, possibly empty).
  bool EndLine() {
    bool over = false;
    if (line_ == Line::kSection && bracketSeen_) {
      over = inSection_;  // only the first section of the name is read
      if (sectionMatches_ && !sectionSeen_) inSection_ = sectionSeen_ = true;
    } else if (line_ == Line::kKey) {
      over = name_.EqualsIgnoringCase(key_);  // the key without "=": an empty value
    } else if (line_ == Line::kValue) {
      found_ = ProfileValue(value_).text;
      over = true;
    }
    line_ = Line::kLeading;
    name_ = TrimmedText(kNameKeep);
    value_ = TrimmedText(kValueKeep);
    bracketSeen_ = sectionMatches_ = false;
    return over;
  }

  static constexpr std::size_t kNameKeep = 256;
  static constexpr std::size_t kValueKeep = kMaxProfileValue + 2;

  std::string_view section_;
  std::string_view key_;
  Line line_ = Line::kLeading;
  TrimmedText name_{kNameKeep};
  TrimmedText value_{kValueKeep};
  bool bracketSeen_ = false;
  bool sectionMatches_ = false;
  bool inSection_ = false;
  bool sectionSeen_ = false;
  std::string found_;
};

// Lines as the value search sees them, for a caller that wants every one. A CR LF pair ends
// one line.
class LineScan {
 public:
  explicit LineScan(const std::function<void(const IniLine&)>& visit) : visit_(visit) {}

  void Run(ByteSource& source) {
    line_.encoding = source.TextEncoding();
    for (int c = source.Next();; c = source.Next()) {
      if (c == '\n' && afterCr_) {
        afterCr_ = false;
        continue;
      }
      afterCr_ = c == '\r';
      if (c == kEnd || IsLineEnd(c)) {
        if (c != kEnd || started_) EndLine();
        if (c == kEnd) return;
      } else {
        Feed(static_cast<char>(c));
      }
    }
  }

 private:
  void Feed(char c) {
    started_ = true;
    if (line_.kind == IniLine::Kind::kBlank) {
      if (IsSpace(static_cast<unsigned char>(c))) return;
      line_.kind = c == '['                 ? IniLine::Kind::kSection
                   : (c == ';' || c == '#') ? IniLine::Kind::kComment
                                            : IniLine::Kind::kEntry;
      if (line_.kind != IniLine::Kind::kEntry) return;
    }
    if (line_.kind == IniLine::Kind::kSection) {
      if (c == ']') sectionName_ = name_;
      name_.Add(c);
    } else if (line_.kind == IniLine::Kind::kEntry) {
      if (!inValue_ && c == '=') {
        inValue_ = line_.hasEquals = true;
      } else {
        (inValue_ ? value_ : name_).Add(c);
      }
    }
  }

  void EndLine() {
    ++line_.number;
    if (line_.kind == IniLine::Kind::kSection) {
      if (sectionName_) {
        line_.name = std::string(sectionName_->Head(sectionName_->Length()));
      } else {
        line_.kind = IniLine::Kind::kOther;  // no "]": no section line
      }
    } else if (line_.kind == IniLine::Kind::kEntry) {
      line_.name = std::string(name_.Head(name_.Length()));
      Value value = ProfileValue(value_);
      line_.value = std::move(value.text);
      line_.cut = value.cut;
    }
    visit_(line_);
    const std::size_t number = line_.number;
    const IniEncoding encoding = line_.encoding;
    line_ = IniLine{};
    line_.number = number;
    line_.encoding = encoding;
    name_ = TrimmedText(kNameKeep);
    value_ = TrimmedText(kMaxProfileValue + 2);
    sectionName_.reset();
    inValue_ = started_ = false;
  }

  static constexpr std::size_t kNameKeep = 256;

  const std::function<void(const IniLine&)>& visit_;
  IniLine line_;
  TrimmedText name_{kNameKeep};
  TrimmedText value_{kMaxProfileValue + 2};
  std::optional<TrimmedText> sectionName_;  // the name before the last "]" so far
  bool inValue_ = false;
  bool started_ = false;  // the line holds a character
  bool afterCr_ = false;
};

}  // namespace

IniEncoding ScanIniLines(std::istream& text, const std::function<void(const IniLine&)>& visit) {
  ByteSource source(text);
  LineScan(visit).Run(source);
  return source.TextEncoding();
}

std::string ReadIniValue(std::istream& text, std::string_view section, std::string_view key) {
  ByteSource source(text);
  return ValueSearch(section, key).Run(source);
}

}  // namespace ivx
