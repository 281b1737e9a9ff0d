#include "platform/sjis.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <iconv.h>
#include <stdexcept>

namespace vendaro::sjis {
namespace {

/// One iconv descriptor per direction and thread, reset before each use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: CP932 is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  enum class Stop { Done, Invalid, Incomplete };

  /// Converts as much of [in, in+len) as possible, appending to out. On return `used` holds how
  /// many input bytes were consumed.
  Stop run(const char* in, std::size_t len, std::string& out, std::size_t& used) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    std::size_t left = len;
    char buf[1024];
    Stop stop = Stop::Done;
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      stop = errno == EINVAL ? Stop::Incomplete : Stop::Invalid;
      break;
    }
    used = len - left;
    return stop;
  }

 private:
  iconv_t cd_;
};

Converter& decoder() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}
Converter& encoder() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string decodeRuns(std::string_view in, bool escape) {
  std::string out;
  out.reserve(in.size() * 3 / 2);
  std::size_t pos = 0;
  while (pos < in.size()) {
    std::size_t used = 0;
    Converter::Stop stop = decoder().run(in.data() + pos, in.size() - pos, out, used);
    pos += used;
    if (stop == Converter::Stop::Done) break;
    // One byte that does not start a valid character: carry it and go on after it.
    unsigned char b = static_cast<unsigned char>(in[pos]);
    appendUtf8(out, escape ? kEscapeBase + b : char32_t{0xFFFD});
    ++pos;
  }
  return out;
}

std::string decode(std::string_view in, bool escape) {
  std::string out = decodeRuns(in, escape);
  if (!escape) return out;
  // CP932 gives some characters two codes (the NEC-selected IBM extensions and a few NEC row 13
  // symbols share their characters with the IBM extensions and the ordinary symbols), and UTF-8
  // names only one of them. The lossless form carries such a code as escaped bytes, so that the
  // bytes come back as they were.
  if (auto back = fromUtf8(out); back && *back == in) return out;
  out.clear();
  std::size_t pos = 0;
  while (pos < in.size()) {
    const std::size_t len = isLeadByte(static_cast<unsigned char>(in[pos])) && pos + 1 < in.size() ? 2 : 1;
    const std::string_view one = in.substr(pos, len);
    std::string utf8;
    std::size_t used = 0;
    if (decoder().run(one.data(), one.size(), utf8, used) == Converter::Stop::Done) {
      const auto again = fromUtf8(utf8);
      if (again && *again == one) {
        out += utf8;
      } else {
        for (char b : one) appendUtf8(out, kEscapeBase + static_cast<unsigned char>(b));
      }
      pos += len;
    } else {
      // Not a character: its first byte is carried alone, as decodeRuns does.
      appendUtf8(out, kEscapeBase + static_cast<unsigned char>(in[pos]));
      ++pos;
    }
  }
  return out;
}

/// Length of the UTF-8 sequence starting with byte b (1 for a stray continuation byte).
std::size_t utf8Length(unsigned char b) {
  if (b >= 0xF0) return 4;
  if (b >= 0xE0) return 3;
  if (b >= 0xC0) return 2;
  return 1;
}

/// The escaped byte at s[i] if an escape code point starts there.
std::optional<unsigned char> escapedByteAt(std::string_view s, std::size_t i) {
  // U+F700..U+F7FF is EF 9C 80 .. EF 9F BF.
  if (i + 2 >= s.size() || static_cast<unsigned char>(s[i]) != 0xEF) return std::nullopt;
  unsigned char b1 = static_cast<unsigned char>(s[i + 1]);
  unsigned char b2 = static_cast<unsigned char>(s[i + 2]);
  if (b1 < 0x9C || b1 > 0x9F || (b2 & 0xC0) != 0x80) return std::nullopt;
  char32_t cp = (0xFu << 12) | (static_cast<char32_t>(b1 & 0x3F) << 6) | (b2 & 0x3F);
  return static_cast<unsigned char>(cp - kEscapeBase);
}

}  // namespace

std::string toUtf8(std::string_view cp932) { return decode(cp932, true); }
std::string toUtf8Display(std::string_view cp932) { return decode(cp932, false); }

std::optional<std::string> fromUtf8(std::string_view utf8, std::string* bad) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    // The run up to the next escaped byte goes through the converter in one call.
    std::size_t end = pos;
    while (end < utf8.size() && !escapedByteAt(utf8, end)) ++end;
    std::size_t done = pos;
    while (done < end) {
      std::size_t used = 0;
      Converter::Stop stop = encoder().run(utf8.data() + done, end - done, out, used);
      done += used;
      if (stop == Converter::Stop::Done) break;
      if (bad) {
        std::size_t n = utf8Length(static_cast<unsigned char>(utf8[done]));
        *bad = std::string(utf8.substr(done, n));
      }
      return std::nullopt;
    }
    if (end < utf8.size()) {
      out += static_cast<char>(*escapedByteAt(utf8, end));
      end += 3;
    }
    pos = end;
  }
  return out;
}

std::string fromUtf8Lossy(std::string_view utf8) {
  if (auto whole = fromUtf8(utf8)) return *whole;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = std::min(utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    auto one = fromUtf8(utf8.substr(i, n));
    out += one ? *one : std::string("?");
    i += n;
  }
  return out;
}

int32_t leadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (value <= int64_t{INT32_MAX} + 1) value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::optional<int32_t> parseInt32(std::string_view text) {
  std::size_t i = 0;
  auto blank = [&](std::size_t k) { return text[k] == ' ' || text[k] == '\t'; };
  while (i < text.size() && blank(i)) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t digits = 0;
  int64_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
    ++i, ++digits;
  }
  while (i < text.size() && blank(i)) ++i;
  if (digits == 0 || i != text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::size_t findText(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  std::size_t boundary = 0;  // a character boundary at or before the candidate
  for (std::size_t pos = hay.find(needle, from); pos != std::string_view::npos; pos = hay.find(needle, pos + 1)) {
    while (boundary < pos) boundary += isLeadByte(static_cast<unsigned char>(hay[boundary])) ? 2 : 1;
    if (boundary == pos) return pos;
  }
  return std::string_view::npos;
}

std::string_view cutBytes(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t i = 0;
  while (i < maxBytes) {
    std::size_t step = isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + step > maxBytes) break;
    i += step;
  }
  return text.substr(0, i);
}

}  // namespace vendaro::sjis
