#include "core/ini_reader.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "core/byte_source.h"

namespace ivx {
namespace {

constexpr int kEnd = ByteSource::kEnd;

// White space around lines, names and values; the Windows reader counts Ctrl-Z as one too.
bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

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

// The one walk over the lines. Each line starts with white space, which is passed over; its
// first other character tells its kind. A section's name is the text before the last "]" on
// its line; an entry's key is the text before its first "=", and the rest of the line is its
// value, of which one pair of enclosing quotation marks is dropped at the line's end.
class Walk {
 public:
  Walk(ByteSource& source, IniVisitor& visitor) : source_(source), visitor_(visitor) {
    line_.encoding = source.TextEncoding();
  }

  void Run() {
    for (;;) {
      const int c = skipping_ ? source_.SkipLine() : source_.Next();
      if (c == '\n' && afterCr_) {  // the second half of a CR LF pair
        afterCr_ = false;
        continue;
      }
      afterCr_ = c == '\r';
      if (c == kEnd || ByteSource::IsLineEnd(c)) {
        if ((c != kEnd || started_) && EndLine() == IniNext::kStop) return;
        if (c == kEnd) return;
      } else if (Feed(static_cast<char>(c)) == IniNext::kStop) {
        return;
      }
    }
  }

 private:
  IniNext Feed(char c) {
    started_ = true;
    if (line_.kind == IniLine::Kind::kBlank) {
      if (IsSpace(static_cast<unsigned char>(c))) return IniNext::kReadOn;
      line_.kind = c == '['                 ? IniLine::Kind::kSection
                   : (c == ';' || c == '#') ? IniLine::Kind::kComment
                                            : IniLine::Kind::kEntry;
      const IniNext next = Follow(visitor_.LineStarts(line_.kind));
      // Nothing of a comment matters but its end, which is still reported.
      if (line_.kind == IniLine::Kind::kComment) skipping_ = true;
      if (next != IniNext::kReadOn || skipping_ || line_.kind != IniLine::Kind::kEntry) return next;
    }
    if (line_.kind == IniLine::Kind::kSection) {
      if (c == ']') sectionName_ = name_;
      name_.Add(c);
    } else if (inValue_) {
      value_.Add(c);
    } else if (c == '=') {
      inValue_ = line_.hasEquals = true;
      TakeName(name_);
      return Follow(visitor_.KeyRead(line_));
    } else {
      name_.Add(c);
    }
    return IniNext::kReadOn;
  }

  IniNext Follow(IniNext next) {
    if (next == IniNext::kSkipLine) skipping_ = silent_ = true;
    return next == IniNext::kStop ? next : IniNext::kReadOn;
  }

  void TakeName(const TrimmedText& name) {
    line_.name = std::string(name.Head(name.Length()));
    line_.nameCut = name.Length() > kNameKeep;
  }

  IniNext EndLine() {
    ++line_.number;
    IniNext next = IniNext::kReadOn;
    if (!silent_) {
      Complete();
      next = visitor_.LineEnds(line_);
    }
    const std::size_t number = line_.number;
    const IniEncoding encoding = line_.encoding;
    line_ = IniLine{};
    line_.number = number;
    line_.encoding = encoding;
    name_ = TrimmedText(kNameKeep);
    value_ = TrimmedText(kValueKeep);
    sectionName_.reset();
    inValue_ = started_ = skipping_ = silent_ = false;
    return next;
  }

  // What the line's end tells: whether "[" began a section, and an entry's key and value.
  void Complete() {
    if (line_.kind == IniLine::Kind::kSection) {
      if (sectionName_) {
        TakeName(*sectionName_);
      } else {
        line_.kind = IniLine::Kind::kOther;  // no "]": no section line
      }
    } else if (line_.kind == IniLine::Kind::kEntry) {
      if (!inValue_) TakeName(name_);
      Value value = ProfileValue(value_);
      line_.value = std::move(value.text);
      line_.cut = value.cut;
    }
  }

  static constexpr std::size_t kNameKeep = 256;
  static constexpr std::size_t kValueKeep = kMaxProfileValue + 2;

  ByteSource& source_;
  IniVisitor& visitor_;
  IniLine line_;
  TrimmedText name_{kNameKeep};
  TrimmedText value_{kValueKeep};
  std::optional<TrimmedText> sectionName_;  // the name before the last "]" so far
  bool inValue_ = false;
  bool started_ = false;   // the line holds a character
  bool skipping_ = false;  // the rest of the line is passed over unread
  bool silent_ = false;    // and its end is not reported
  bool afterCr_ = false;
};

bool HasName(const IniLine& line, std::string_view name) {
  return !line.nameCut && SameName(line.name, name);
}

// One key's value: only the first section of the name is read, and in it the first line of
// the key decides; a key without "=" is found with an empty value. Lines that cannot hold the
// value (outside the section, comments, other keys) are passed over unread.
class ValueOfKey final : public IniVisitor {
 public:
  ValueOfKey(std::string_view section, std::string_view key) : section_(section), key_(key) {}

  IniNext LineStarts(IniLine::Kind kind) override {
    if (kind == IniLine::Kind::kSection) return IniNext::kReadOn;
    return inSection_ && kind == IniLine::Kind::kEntry ? IniNext::kReadOn : IniNext::kSkipLine;
  }

  IniNext KeyRead(const IniLine& line) override {
    return HasName(line, key_) ? IniNext::kReadOn : IniNext::kSkipLine;
  }

  IniNext LineEnds(const IniLine& line) override {
    if (line.kind == IniLine::Kind::kSection) {
      if (inSection_) return IniNext::kStop;
      inSection_ = HasName(line, section_);
    } else if (line.kind == IniLine::Kind::kEntry && HasName(line, key_)) {
      value = line.value;
      return IniNext::kStop;
    }
    return IniNext::kReadOn;
  }

  std::string value;

 private:
  std::string_view section_;
  std::string_view key_;
  bool inSection_ = false;
};

// Every line, for a caller that wants them all.
class EveryLine final : public IniVisitor {
 public:
  explicit EveryLine(const std::function<void(const IniLine&)>& visit) : visit_(visit) {}
  IniNext LineStarts(IniLine::Kind /*kind*/) override { return IniNext::kReadOn; }
  IniNext KeyRead(const IniLine& /*line*/) override { return IniNext::kReadOn; }
  IniNext LineEnds(const IniLine& line) override {
    visit_(line);
    return IniNext::kReadOn;
  }

 private:
  const std::function<void(const IniLine&)>& visit_;
};

}  // namespace

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

IniEncoding ReadIni(std::istream& text, IniVisitor& visitor) {
  ByteSource source(text);
  Walk(source, visitor).Run();
  return source.TextEncoding();
}

std::string ReadIniValue(std::istream& text, std::string_view section, std::string_view key) {
  ValueOfKey lookup(section, key);
  ReadIni(text, lookup);
  return std::move(lookup.value);
}

IniEncoding ScanIniLines(std::istream& text, const std::function<void(const IniLine&)>& visit) {
  EveryLine every(visit);
  return ReadIni(text, every);
}

}  // namespace ivx
