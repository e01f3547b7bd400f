// dump_lines.cpp - hexadecimal and text dump lines, quoted literal chunks.
#include "text/dump_lines.h"
#include "text/printable.h"

#include <cstring>

#include "base/code_page.h"

namespace {
const char kHex[] = "0123456789ABCDEF";
constexpr uint32_t kHexBytesPerLine = 16;
constexpr uint32_t kTextColumn = 18;
constexpr uint32_t kTextLineBytes = 96;

// The bytes of a dump line's data, or null when the line cannot be
// written: a null pointer, a capacity below lineSize, or no byte left.
const uint8_t *LineData(const uint32_t *ioOffset, const char *out, size_t capacity,
                        size_t lineSize, const void *data, uint32_t length) {
  if (ioOffset == nullptr || out == nullptr || data == nullptr) return nullptr;
  if (capacity < lineSize || *ioOffset >= length) return nullptr;
  return static_cast<const uint8_t *>(data);
}

int HexLine(uint32_t *ioOffset, char *out, size_t capacity, const void *data, uint32_t length,
            char mask, bool mbcs) {
  const uint8_t *bytes = LineData(ioOffset, out, capacity, kHexDumpLineSize, data, length);
  if (bytes == nullptr) return 0;
  const uint8_t *leads = SalLeadByteTable();
  const uint32_t start = *ioOffset;
  const uint32_t end = length - start > kHexBytesPerLine ? start + kHexBytesPerLine : length;
  char *w = out;
  for (int shift = 28; shift >= 0; shift -= 4) *w++ = kHex[(start >> shift) & 0xF];
  *w++ = ' ';
  *w++ = ' ';
  for (uint32_t i = start; i < end; ++i) {
    const uint8_t b = bytes[i];
    if (mbcs && leads[b] != 0 && i + 1 < end) {
      *w++ = static_cast<char>(b);
      *w++ = static_cast<char>(bytes[++i]);
    } else {
      *w++ = IsPrintableChar(b) ? static_cast<char>(b) : mask;
    }
  }
  for (uint32_t i = end - start; i < kTextColumn; ++i) *w++ = ' ';
  for (uint32_t i = start; i < end; ++i) {
    *w++ = kHex[bytes[i] >> 4];
    *w++ = kHex[bytes[i] & 0xF];
    *w++ = ' ';
  }
  *w = '\0';
  *ioOffset = end;
  return 1;
}

// Writes into out[0, capacity) keeping room for the terminator and for
// reserve bytes more.
class Writer {
 public:
  Writer(char *out, size_t capacity, size_t reserve) : out_(out), limit_(capacity - 1 - reserve) {}
  bool Fits(size_t n) const { return used_ + n <= limit_; }
  void Put(char c) { out_[used_++] = c; }
  void Put2(char a, char b) {
    out_[used_++] = a;
    out_[used_++] = b;
  }
  size_t Used() const { return used_; }
  void End() { out_[used_] = '\0'; }

 private:
  char *out_;
  size_t limit_;
  size_t used_ = 0;
};

// The letter of a control's backslash form, or 0.
char ControlEscape(uint8_t b) {
  switch (b) {
    case 7: return 'a';
    case 8: return 'b';
    case 9: return 't';
    case 10: return 'n';
    case 11: return 'v';
    case 12: return 'f';
    case 13: return 'r';
    default: return 0;
  }
}
}  // namespace

int HexDumpLine(uint32_t *ioOffset, char *out, size_t capacity, const void *data, uint32_t length) {
  return HexLine(ioOffset, out, capacity, data, length, '+', false);
}

int HexDumpLineMbcs(uint32_t *ioOffset, char *out, size_t capacity, const void *data,
                    uint32_t length, char mask) {
  return HexLine(ioOffset, out, capacity, data, length, mask, true);
}

int TextDumpLine(uint32_t *ioOffset, char *out, size_t capacity, const void *data, uint32_t length,
                 int escape, char spaceFill) {
  const uint8_t *bytes = LineData(ioOffset, out, capacity, kTextDumpLineSize, data, length);
  if (bytes == nullptr) return 0;
  const uint8_t *leads = SalLeadByteTable();
  // 96 bytes written as two bytes each, plus " >>", fit in 196 with the
  // terminator; the writer checks anyway.
  Writer w(out, capacity, 3);
  uint32_t i = *ioOffset;
  bool lineBreak = false;
  while (i < length && i - *ioOffset < kTextLineBytes) {
    const uint8_t b = bytes[i];
    if (b == '\r' || b == '\n') {
      lineBreak = true;
      while (i < length && (bytes[i] == '\r' || bytes[i] == '\n')) {
        if (escape && w.Fits(2)) w.Put2('\\', bytes[i] == '\r' ? 'r' : 'n');
        ++i;
      }
      break;
    }
    if (leads[b] != 0 && i + 1 < length && bytes[i + 1] != 0) {
      if (!w.Fits(2)) break;
      w.Put2(static_cast<char>(b), static_cast<char>(bytes[i + 1]));
      i += 2;
      continue;
    }
    const char letter = escape ? ControlEscape(b) : 0;
    if (letter != 0) {
      if (!w.Fits(2)) break;
      w.Put2('\\', letter);
    } else {
      if (!w.Fits(1)) break;
      w.Put(escape && b == ' ' ? spaceFill : static_cast<char>(b));
    }
    ++i;
  }
  w.End();
  if (!lineBreak && i - *ioOffset >= kTextLineBytes) std::strcat(out, " >>");
  *ioOffset = i;
  return 1;
}

namespace {
int QuotedLine(uint32_t *ioIndex, char *out, size_t capacity, const char *text, uint32_t width,
               char quote, int escape, bool mbcs) {
  if (ioIndex == nullptr || out == nullptr || text == nullptr || capacity < 2) return 0;
  const uint8_t *leads = SalLeadByteTable();
  uint32_t i = *ioIndex;
  size_t used = 0;
  out[used++] = quote;
  if (text[i] == '\0') {
    out[used] = '\0';
    *ioIndex = i;
    return 0;
  }
  // The chunk holds at most width - 1 characters before the closing quote,
  // the opening one included; at least one source character goes in.
  const size_t chunk = width > 2 ? width - 1 : 2;
  bool cut = false;
  while (text[i] != '\0' && used < chunk) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    char form[2];
    size_t n;
    uint32_t take = 1;
    if (mbcs && leads[b] != 0 && text[i + 1] != '\0') {
      form[0] = text[i];
      form[1] = text[i + 1];
      n = 2;
      take = 2;
    } else if (escape && (ControlEscape(b) != 0 || b == '"' || b == '\\')) {
      form[0] = '\\';
      form[1] = ControlEscape(b) != 0 ? ControlEscape(b) : static_cast<char>(b);
      n = 2;
    } else if (!escape && b >= 7 && b <= 13) {
      n = 0;
    } else {
      form[0] = static_cast<char>(b);
      n = 1;
    }
    if (used + n + 4 > capacity) {
      cut = true;
      break;
    }
    std::memcpy(out + used, form, n);
    used += n;
    i += take;
    if (b == '\n') break;
  }
  *ioIndex = i;
  if (cut) {
    out[used] = '\0';
    return 0;
  }
  out[used++] = quote;
  out[used] = '\0';
  return 1;
}
}  // namespace

int QuotedLiteralLine(uint32_t *ioIndex, char *out, size_t capacity, const char *text,
                      uint32_t width, char quote, int escape) {
  return QuotedLine(ioIndex, out, capacity, text, width, quote, escape, false);
}

int QuotedLiteralLineMbcs(uint32_t *ioIndex, char *out, size_t capacity, const char *text,
                          uint32_t width, char quote, int escape) {
  return QuotedLine(ioIndex, out, capacity, text, width, quote, escape, true);
}

int QuotedLiteralBlock(char *out, size_t capacity, const char *text, uint32_t indent,
                       uint32_t width, char quote) {
  if (out == nullptr || text == nullptr || capacity < 3) {
    if (out != nullptr && capacity > 0) out[0] = '\0';
    return 0;
  }
  if (text[0] == '\0') {
    out[0] = quote;
    out[1] = quote;
    out[2] = '\0';
    return 1;
  }
  size_t used = 0;
  uint32_t index = 0;
  for (;;) {
    if (QuotedLiteralLine(&index, out + used, capacity - used, text, width, quote, 1) == 0) return 0;
    used += std::strlen(out + used);
    // A separator only between chunks: after the last one the text ends.
    if (text[index] == '\0') return 1;
    if (capacity - used > static_cast<size_t>(indent) + 2) {
      out[used++] = '\n';
      std::memset(out + used, ' ', indent);
      used += indent;
      out[used] = '\0';
    }
    if (capacity - used < 2) return 0;
  }
}
