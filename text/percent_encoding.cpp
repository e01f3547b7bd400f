// percent_encoding.cpp - the percent encoders and decoders.
//
// Each encoder is a 256-entry table of what becomes of a byte.  The
// text's length is measured first: when the output is certainly large
// enough (three bytes per input byte and the terminator) the loop writes
// without checking, otherwise it checks every item and goes on counting
// behind the first one that does not fit.
#include "text/percent_encoding.h"

#include <cstring>

#include "base/last_error.h"
#include "base/sal_errors.h"

namespace {

enum Kind : uint8_t { kLiteral, kPlus, kEscape };

struct KindTable {
  uint8_t kind[256];
  char text[256][4];   // what the byte becomes (1 or 3 characters used)
  uint8_t size[256];   // how many of them
  // form: the form-style table; otherwise the minimal one.
  constexpr explicit KindTable(bool form) : kind(), text(), size() {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned c = 0; c < 256; ++c) {
      if (form) {
        const bool reserved = (c >= 0x21 && c <= 0x2C) || c == 0x2F || (c >= 0x3A && c <= 0x40) ||
                              (c >= 0x5B && c <= 0x5E) || c == 0x60 || (c >= 0x7B && c <= 0x7E);
        kind[c] = c == ' ' ? kPlus : (c >= 32 && c <= 127 && !reserved) ? kLiteral : kEscape;
      } else {
        kind[c] = (c == '%' || c >= 127) ? kEscape : kLiteral;
      }
      if (kind[c] == kEscape) {
        text[c][0] = '%';
        text[c][1] = kHex[c >> 4];
        text[c][2] = kHex[c & 15];
        size[c] = 3;
      } else {
        text[c][0] = kind[c] == kPlus ? '+' : static_cast<char>(c);
        size[c] = 1;
      }
    }
  }
};

constexpr KindTable kForm(true);
constexpr KindTable kMinimal(false);

inline char *Put(const KindTable &table, char *dst, unsigned char c) {
  std::memcpy(dst, table.text[c], table.size[c]);
  return dst + table.size[c];
}

int Encode(const KindTable &table, char *out, uint32_t *ioLength, const char *text) {
  if (text == nullptr || ioLength == nullptr) {
    SalRecordLastError(kCommonErrNullSearchArg);
    return 0;
  }
  const uint64_t capacity = out != nullptr ? *ioLength : 0;
  const unsigned char *src = reinterpret_cast<const unsigned char *>(text);
  const size_t n = std::strlen(text);

  if (capacity > static_cast<uint64_t>(n) * 3) {
    // Room for three characters per byte and the terminator: every byte
    // may store all four characters of its table entry (the ones not used
    // are overwritten next), which keeps the loop free of branches.
    char *dst = out;
    for (size_t i = 0; i < n; ++i) {
      std::memcpy(dst, table.text[src[i]], 4);
      dst += table.size[src[i]];
    }
    *dst = '\0';
    *ioLength = static_cast<uint32_t>(dst - out);
    return 1;
  }

  uint64_t p = 0;
  bool writing = true;
  for (size_t i = 0; i < n; ++i) {
    const uint64_t size = table.size[src[i]];
    if (writing && p + size < capacity) {
      Put(table, out + p, src[i]);
    } else {
      writing = false;
    }
    p += size;
  }
  *ioLength = p < 0xFFFFFFFFu ? static_cast<uint32_t>(p) : 0xFFFFFFFFu;
  if (p < capacity) {  // every item fitted, and the terminator too
    out[p] = '\0';
    return 1;
  }
  if (capacity != 0) out[0] = '\0';
  SalRecordLastError(kCommonErrBufferTooSmall);
  return 0;
}

inline int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int Decode(char *text, bool plusIsSpace) {
  if (text == nullptr) {
    SalRecordLastError(kCommonErrNullDecodeText);
    return 0;
  }
  // The output never grows, so it is written over the text it was read from.
  char *w = text;
  const char *r = text;
  for (char c; (c = *r) != '\0';) {
    if (c == '\r' || c == '\n') {
      ++r;
    } else if (c == '%') {
      // r[2] is read only when r[1] is a digit, so never past the terminator.
      const int high = HexValue(static_cast<unsigned char>(r[1]));
      const int low = high < 0 ? -1 : HexValue(static_cast<unsigned char>(r[2]));
      if (low < 0) {
        *w = '\0';
        SalRecordLastError(kCommonErrBadPercentEscape);
        return 0;
      }
      *w++ = static_cast<char>(high * 16 + low);
      r += 3;
    } else {
      *w++ = (c == '+' && plusIsSpace) ? ' ' : c;
      ++r;
    }
  }
  *w = '\0';
  return 1;
}

}  // namespace

int FormUrlEncode(char *out, uint32_t *ioLength, const char *text) {
  return Encode(kForm, out, ioLength, text);
}

int PercentEncode(char *out, uint32_t *ioLength, const char *text) {
  return Encode(kMinimal, out, ioLength, text);
}

int FormUrlDecode(char *text) { return Decode(text, true); }

int PercentDecode(char *text) { return Decode(text, false); }
