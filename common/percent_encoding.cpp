// percent_encoding.cpp - the percent encoders and decoders.
//
// Each encoder is a 256-entry table saying what becomes of a byte.  The
// text's length is measured first: when the output is certainly large
// enough (three bytes per input byte and the terminator) the loop writes
// without checking, otherwise it checks every item and goes on counting
// behind the first one that does not fit.
#include "common/percent_encoding.h"

#include <cstring>

#include "platform/last_error.h"
#include "platform/sal_errors.h"

namespace {

enum Kind : uint8_t { kLiteral, kPlus, kEscape };

struct KindTable {
  uint8_t kind[256];
  // form: the form-style table; otherwise the minimal one.
  constexpr explicit KindTable(bool form) : kind() {
    for (unsigned c = 0; c < 256; ++c) {
      if (form) {
        const bool reserved = (c >= 0x21 && c <= 0x2C) || c == 0x2F || (c >= 0x3A && c <= 0x40) ||
                              (c >= 0x5B && c <= 0x5E) || c == 0x60 || (c >= 0x7B && c <= 0x7E);
        kind[c] = c == ' ' ? kPlus : (c >= 32 && c <= 127 && !reserved) ? kLiteral : kEscape;
      } else {
        kind[c] = (c == '%' || c >= 127) ? kEscape : kLiteral;
      }
    }
  }
};

constexpr KindTable kForm(true);
constexpr KindTable kMinimal(false);
constexpr char kHexUpper[] = "0123456789ABCDEF";

inline char *Put(char *dst, unsigned char c, uint8_t kind) {
  if (kind == kLiteral) {
    *dst++ = static_cast<char>(c);
  } else if (kind == kPlus) {
    *dst++ = '+';
  } else {
    dst[0] = '%';
    dst[1] = kHexUpper[c >> 4];
    dst[2] = kHexUpper[c & 15];
    dst += 3;
  }
  return dst;
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
    char *dst = out;
    for (size_t i = 0; i < n; ++i) dst = Put(dst, src[i], table.kind[src[i]]);
    *dst = '\0';
    *ioLength = static_cast<uint32_t>(dst - out);
    return 1;
  }

  uint64_t p = 0;
  bool writing = true;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t kind = table.kind[src[i]];
    const uint64_t size = kind == kEscape ? 3 : 1;
    if (writing && p + size < capacity) {
      Put(out + p, src[i], kind);
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
