// base64.cpp - base64 encoding and decoding.
//
// All tables are constants built by the compiler: nothing is filled on
// first use, so concurrent first calls never write shared memory.  The
// encoder turns 12 input bits into two characters with one lookup; the
// decoder takes four characters at a time through tables that hold each
// character's value already shifted into place, and falls back to the
// character-by-character rules only where a group holds a pad, a byte
// outside the alphabet or the end of the text.
#include "text/base64.h"

#include <cstring>

#include "base/common_string.h"
#include "base/common_string_chars.h"

namespace {

constexpr char kAlphabet[64] = {
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
    'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', 'a', 'b', 'c', 'd', 'e', 'f',
    'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v',
    'w', 'x', 'y', 'z', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '/'};
constexpr char kPad = '=';
constexpr uint8_t kPadValue = 64;    // the decode value of the pad character
constexpr uint8_t kNotBase64 = 255;  // the decode value of every other byte
constexpr uint32_t kBadGroup = 0xFF000000u;

struct EncodeTable {
  char pair[4096][2];  // the two characters of every 12-bit value
  constexpr EncodeTable() : pair() {
    for (unsigned v = 0; v < 4096; ++v) {
      pair[v][0] = kAlphabet[v >> 6];
      pair[v][1] = kAlphabet[v & 63];
    }
  }
};

struct DecodeTables {
  uint8_t value[256];      // 0-63 for the alphabet, 64 for the pad, 255 else
  uint32_t shifted[4][256];  // value << 18, 12, 6, 0; kBadGroup for pad and others
  constexpr DecodeTables() : value(), shifted() {
    for (unsigned c = 0; c < 256; ++c) value[c] = kNotBase64;
    for (uint8_t v = 0; v < 64; ++v) value[static_cast<unsigned char>(kAlphabet[v])] = v;
    value[static_cast<unsigned char>(kPad)] = kPadValue;
    for (unsigned c = 0; c < 256; ++c)
      for (unsigned k = 0; k < 4; ++k)
        shifted[k][c] = value[c] < 64 ? static_cast<uint32_t>(value[c]) << (18 - 6 * k) : kBadGroup;
  }
};

constexpr EncodeTable kEncode{};
constexpr DecodeTables kDecode{};

// Encodes count full groups (3 bytes each) into 4 * count characters.
inline char *EncodeGroups(char *dst, const uint8_t *src, size_t count) {
  for (size_t k = 0; k < count; ++k, src += 3, dst += 4) {
    const uint32_t v = (static_cast<uint32_t>(src[0]) << 16) | (static_cast<uint32_t>(src[1]) << 8) | src[2];
    std::memcpy(dst, kEncode.pair[v >> 12], 2);
    std::memcpy(dst + 2, kEncode.pair[v & 0xFFF], 2);
  }
  return dst;
}

// Encodes the final one or two bytes into a padded group.
inline char *EncodeTail(char *dst, const uint8_t *src, uint32_t rest) {
  dst[0] = kAlphabet[src[0] >> 2];
  if (rest == 1) {
    dst[1] = kAlphabet[(src[0] & 3) << 4];
    dst[2] = kPad;
  } else {
    dst[1] = kAlphabet[((src[0] & 3) << 4) | (src[1] >> 4)];
    dst[2] = kAlphabet[(src[1] & 15) << 2];
  }
  dst[3] = kPad;
  return dst + 4;
}

// The whole encoding into out, which has room for it and the terminator.
uint32_t EncodeAll(char *out, const uint8_t *in, uint32_t inLength, uint32_t groupsPerLine) {
  const uint32_t full = inLength / 3;
  char *dst = out;
  if (groupsPerLine == 0) {
    dst = EncodeGroups(dst, in, full);
  } else {
    for (uint32_t done = 0; done < full;) {
      const uint32_t line = full - done < groupsPerLine ? full - done : groupsPerLine;
      dst = EncodeGroups(dst, in + static_cast<size_t>(done) * 3, line);
      done += line;
      if (line == groupsPerLine) *dst++ = '\n';
    }
  }
  if (inLength % 3 != 0) dst = EncodeTail(dst, in + static_cast<size_t>(full) * 3, inLength % 3);
  *dst = '\0';
  return static_cast<uint32_t>(dst - out);
}

// The groups that fit when the whole encoding does not: each group is
// written only when it, the line feed that follows it and the terminator
// fit.  Terminates behind the last group written.
void EncodePrefix(char *out, uint32_t capacity, const uint8_t *in, uint32_t inLength,
                  uint32_t groupsPerLine) {
  const uint32_t full = inLength / 3;
  uint32_t pos = 0;
  uint32_t inLine = 0;
  uint32_t k = 0;
  for (; k < full; ++k) {
    const bool lineFeed = groupsPerLine != 0 && inLine + 1 == groupsPerLine;
    if (capacity - pos < 4u + (lineFeed ? 1u : 0u) + 1u) break;
    EncodeGroups(out + pos, in + static_cast<size_t>(k) * 3, 1);
    pos += 4;
    if (lineFeed) {
      out[pos++] = '\n';
      inLine = 0;
    } else {
      ++inLine;
    }
  }
  if (k == full && inLength % 3 != 0 && capacity - pos >= 5u) {
    EncodeTail(out + pos, in + static_cast<size_t>(full) * 3, inLength % 3);
    pos += 4;
  }
  out[pos] = '\0';
}

// The 24 bits of four characters, or a value with kBadGroup bits set when
// one of them is a pad or outside the alphabet.
inline uint32_t Group(const uint8_t *c) {
  return kDecode.shifted[0][c[0]] | kDecode.shifted[1][c[1]] | kDecode.shifted[2][c[2]] |
         kDecode.shifted[3][c[3]];
}

inline void Put(uint8_t *dst, uint32_t v) {
  dst[0] = static_cast<uint8_t>(v >> 16);
  dst[1] = static_cast<uint8_t>(v >> 8);
  dst[2] = static_cast<uint8_t>(v);
}

}  // namespace

uint64_t Base64EncodedLength(uint64_t inLength, uint32_t groupsPerLine) {
  const uint64_t groups = (inLength + 2) / 3;
  return groups * 4 + (groupsPerLine != 0 ? inLength / 3 / groupsPerLine : 0);
}

int Base64Encode(char *out, uint32_t capacity, const void *in, uint32_t inLength,
                 uint32_t *outLength, uint32_t groupsPerLine) {
  if (out == nullptr || in == nullptr || capacity == 0) return 0;
  const uint8_t *bytes = static_cast<const uint8_t *>(in);
  if (Base64EncodedLength(inLength, groupsPerLine) >= capacity) {
    EncodePrefix(out, capacity, bytes, inLength, groupsPerLine);
    return 0;
  }
  const uint32_t n = EncodeAll(out, bytes, inLength, groupsPerLine);
  if (outLength != nullptr) *outLength = n;
  return 1;
}

int Base64EncodeString(CCommonString &outString, const CCommonString &inString,
                       uint32_t groupsPerLine) {
  const uint32_t n = inString.GetLength();
  const uint64_t needed = Base64EncodedLength(n, groupsPerLine);
  if (needed >= 0xFFFFFFFFu) {
    outString.Clear();
    return common_string::NoStorage();
  }
  // Built aside, so that inString may be outString.
  CCommonString text;
  const uint64_t twice = static_cast<uint64_t>(n) * 2;
  const uint32_t size = static_cast<uint32_t>(twice > needed && twice < 0xFFFFFFFFu ? twice : needed);
  char *buffer = text.GetBuffer(size + 1);
  if (buffer == nullptr) {
    outString.Clear();
    return 0;
  }
  const uint32_t written =
      EncodeAll(buffer, reinterpret_cast<const uint8_t *>(inString.CStr()), n, groupsPerLine);
  text.ReleaseBuffer(written);
  outString.Swap(text);
  return 1;
}

int Base64Decode(void *out, uint32_t *ioLength, const char *text) {
  if (out == nullptr || ioLength == nullptr || text == nullptr) return 0;
  const uint32_t capacity = *ioLength;
  if (capacity == 0) return 0;
  uint8_t *dst = static_cast<uint8_t *>(out);
  const uint8_t *src = reinterpret_cast<const uint8_t *>(text);
  const size_t length = std::strlen(text);
  size_t i = 0;
  uint32_t pos = 0;
  int result = 1;

  // Next value of the alphabet or the pad, skipping every other byte.
  auto next = [&](uint8_t &value) {
    while (i < length) {
      value = kDecode.value[src[i++]];
      if (value != kNotBase64) return true;
    }
    return false;
  };

  for (;;) {
    // Groups of four alphabet characters in a row.  groups counts those
    // that the text holds and that find 4 free bytes before them, two at a
    // time while it can.
    size_t groups = capacity - pos >= 4u ? (capacity - pos - 4u) / 3u + 1u : 0u;
    if (groups > (length - i) / 4) groups = (length - i) / 4;
    for (; groups >= 2; groups -= 2, i += 8, pos += 6) {
      const uint32_t a = Group(src + i);
      const uint32_t b = Group(src + i + 4);
      if (((a | b) & kBadGroup) != 0) break;
      Put(dst + pos, a);
      Put(dst + pos + 3, b);
    }
    for (; groups > 0; --groups, i += 4, pos += 3) {
      const uint32_t a = Group(src + i);
      if ((a & kBadGroup) != 0) break;
      Put(dst + pos, a);
    }
    // One group by the full rules.
    uint8_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
    if (!next(c0)) break;  // the text ends between groups
    if (!next(c1) || !next(c2) || !next(c3) || c0 == kPadValue || c1 == kPadValue ||
        (c2 == kPadValue && c3 != kPadValue) || capacity - pos < 4u) {
      result = 0;
      break;
    }
    dst[pos++] = static_cast<uint8_t>((c0 << 2) | (c1 >> 4));
    if (c2 != kPadValue) dst[pos++] = static_cast<uint8_t>(((c1 & 15) << 4) | (c2 >> 2));
    if (c3 != kPadValue) dst[pos++] = static_cast<uint8_t>(((c2 & 3) << 6) | c3);
  }
  dst[pos] = '\0';
  *ioLength = pos;
  return result;
}

int Base64DecodeString(CCommonString &outString, const char *text) {
  if (text == nullptr) return 0;
  const size_t length = std::strlen(text);
  if (length >= 0xFFFFFFFFu) return common_string::NoStorage();
  // Decoded aside, so that text may be outString's own.  The text's length
  // leaves room for every group and the terminator.
  CCommonString bytes;
  char *buffer = bytes.GetBuffer(static_cast<uint32_t>(length) + 1);
  if (buffer == nullptr) {
    outString.Clear();
    return 0;
  }
  uint32_t decoded = bytes.GetCapacity();
  const int result = Base64Decode(buffer, &decoded, text);
  bytes.ReleaseBuffer(decoded);
  outString.Swap(bytes);
  return result;
}
