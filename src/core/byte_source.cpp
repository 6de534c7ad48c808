#include "core/byte_source.h"

#include <cstring>
#include <utility>

namespace ivx {
namespace {

// One read from the file: small at first, since most settings files are, then larger.
constexpr std::size_t kFirstChunk = 4096;
constexpr std::size_t kChunk = std::size_t{64} * 1024;

}  // namespace

ByteSource::ByteSource(std::istream& in) : in_(in), chunk_(kFirstChunk, '\0') { DetectEncoding(); }

int ByteSource::Next() {
  if (pendingPos_ < pending_.size()) return static_cast<unsigned char>(pending_[pendingPos_++]);
  if (encoding_ == Encoding::kBytes) return Raw();
  return NextDecoded();
}

IniEncoding ByteSource::TextEncoding() const {
  if (encoding_ != Encoding::kBytes) return IniEncoding::kUtf16;
  return utf8Mark_ ? IniEncoding::kUtf8 : IniEncoding::kBytes;
}

int ByteSource::SkipLine() {
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

bool ByteSource::Fill() {
  if (size_ == chunk_.size() && size_ < kChunk) chunk_.resize(kChunk);  // the last read was full
  in_.read(chunk_.data(), static_cast<std::streamsize>(chunk_.size()));
  size_ = static_cast<std::size_t>(in_.gcount());
  pos_ = 0;
  return size_ > 0;
}

int ByteSource::Raw() {
  if (pos_ == size_ && !Fill()) return kEnd;
  return static_cast<unsigned char>(chunk_[pos_++]);
}

void ByteSource::DetectEncoding() {
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

void ByteSource::Push(std::initializer_list<int> bytes) {
  pending_.clear();
  pendingPos_ = 0;
  for (int b : bytes) {
    if (b == kEnd) break;
    pending_ += static_cast<char>(b);
  }
}

std::optional<unsigned> ByteSource::Unit() {
  if (heldUnit_) return std::exchange(heldUnit_, std::nullopt);
  const int a = Raw();
  const int b = Raw();
  if (a == kEnd || b == kEnd) return std::nullopt;  // an odd last byte is no character
  return encoding_ == Encoding::kUtf16Le ? static_cast<unsigned>(a | (b << 8))
                                         : static_cast<unsigned>((a << 8) | b);
}

int ByteSource::NextDecoded() {
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

void ByteSource::EncodeUtf8(unsigned code) {
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

}  // namespace ivx
