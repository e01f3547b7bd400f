// wide_format.cpp - printf-style formatting of 16-bit texts.
//
// The format is walked here; every conversion is rendered on its own, the
// numeric ones by the runtime's snprintf from a rebuilt 8-bit
// specification, the text ones here, where the argument types are known.
#include "common/wide_format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace {
// Output that counts every unit and stores those that fit.
class Sink {
 public:
  Sink(char16_t *out, size_t capacity) : out_(capacity > 0 ? out : nullptr), capacity_(out != nullptr ? capacity : 0) {}
  void Put(char16_t unit) {
    if (count_ + 1 < capacity_) out_[count_] = unit;
    ++count_;
  }
  void PutRepeated(char16_t unit, size_t n) {
    for (size_t i = 0; i < n; ++i) Put(unit);
  }
  void End() {
    if (capacity_ > 0) out_[count_ < capacity_ ? count_ : capacity_ - 1] = 0;
  }
  size_t Count() const { return count_; }

 private:
  char16_t *out_;
  size_t capacity_;
  size_t count_ = 0;
};

struct Spec {
  char flags[8] = {};
  int flagCount = 0;
  bool leftAlign = false;
  int width = -1;
  int precision = -1;
  enum Length { kNone, kChar, kShort, kLong, kLongLong, kLongDouble, kIntMax, kSize, kPtrDiff, kWide } length = kNone;
  char conversion = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads digits at *p; -1 when there are none; caps absurd values.
int ReadNumber(const char16_t *&p) {
  if (!IsDigit(*p)) return -1;
  int value = 0;
  while (IsDigit(*p)) {
    if (value < 100000000) value = value * 10 + (*p - u'0');
    ++p;
  }
  return value;
}

// Text of n units (8- or 16-bit) with the width and precision of spec.
template <typename Char>
void PutText(Sink &sink, const Spec &spec, const Char *text) {
  static const char kNull[] = "(null)";
  size_t n = 0;
  if (text == nullptr) {
    n = sizeof kNull - 1;
    if (spec.precision >= 0 && static_cast<size_t>(spec.precision) < n) n = static_cast<size_t>(spec.precision);
  } else {
    while ((spec.precision < 0 || n < static_cast<size_t>(spec.precision)) && text[n] != 0) ++n;
  }
  const size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > n ? static_cast<size_t>(spec.width) - n : 0;
  if (!spec.leftAlign) sink.PutRepeated(u' ', pad);
  for (size_t i = 0; i < n; ++i) {
    if (text == nullptr) {
      sink.Put(static_cast<char16_t>(kNull[i]));
    } else {
      sink.Put(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(text[i])));
    }
  }
  if (spec.leftAlign) sink.PutRepeated(u' ', pad);
}

void PutUnit(Sink &sink, const Spec &spec, char16_t unit) {
  const size_t pad = spec.width > 1 ? static_cast<size_t>(spec.width) - 1 : 0;
  if (!spec.leftAlign) sink.PutRepeated(u' ', pad);
  sink.Put(unit);
  if (spec.leftAlign) sink.PutRepeated(u' ', pad);
}

// Renders a numeric conversion through snprintf and widens it.  Width and
// precision go in as "*" arguments; a negative precision means "none", as
// printf reads a negative "*" (pointers take none at all).
template <typename T>
bool PutNumber(Sink &sink, const Spec &spec, const char *lengthText, T value) {
  const bool pointer = spec.conversion == 'p';
  char format[32];
  int n = 0;
  format[n++] = '%';
  for (int i = 0; i < spec.flagCount; ++i) format[n++] = spec.flags[i];
  format[n++] = '*';
  if (!pointer) {
    format[n++] = '.';
    format[n++] = '*';
  }
  for (const char *l = lengthText; *l != '\0'; ++l) format[n++] = *l;
  format[n++] = spec.conversion;
  format[n] = '\0';
  const int width = spec.width >= 0 ? (spec.leftAlign ? -spec.width : spec.width) : 0;
  auto render = [&](char *buffer, size_t size) {
    return pointer ? std::snprintf(buffer, size, format, width, value)
                   : std::snprintf(buffer, size, format, width, spec.precision, value);
  };
  char local[128];
  const int length = render(local, sizeof local);
  if (length < 0) return false;
  const char *text = local;
  std::unique_ptr<char[]> heap;
  if (static_cast<size_t>(length) >= sizeof local) {
    heap.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
    if (!heap) return false;
    render(heap.get(), static_cast<size_t>(length) + 1);
    text = heap.get();
  }
  for (int i = 0; i < length; ++i) sink.Put(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
  return true;
}
}  // namespace

int WideFormatV(char16_t *out, size_t capacity, const char16_t *format, va_list args) {
  if (format == nullptr) return -1;
  Sink sink(out, capacity);
  va_list ap;
  va_copy(ap, args);
  bool ok = true;
  for (const char16_t *p = format; *p != 0 && ok;) {
    if (*p != u'%') {
      sink.Put(*p++);
      continue;
    }
    ++p;
    if (*p == u'%') {
      sink.Put(u'%');
      ++p;
      continue;
    }
    Spec spec;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
      if (*p == u'-') spec.leftAlign = true;
      if (spec.flagCount < 7 && *p != u'-') spec.flags[spec.flagCount++] = static_cast<char>(*p);
      ++p;
    }
    if (*p == u'*') {
      spec.width = va_arg(ap, int);
      if (spec.width < 0) {
        spec.leftAlign = true;
        spec.width = spec.width == INT32_MIN ? INT32_MAX : -spec.width;
      }
      ++p;
    } else {
      spec.width = ReadNumber(p);
    }
    if (*p == u'.') {
      ++p;
      if (*p == u'*') {
        spec.precision = va_arg(ap, int);
        ++p;
      } else {
        spec.precision = ReadNumber(p);
        if (spec.precision < 0) spec.precision = 0;
      }
    }
    if (spec.width > 100000000) spec.width = 100000000;
    switch (*p) {
      case u'h':
        ++p;
        if (*p == u'h') {
          spec.length = Spec::kChar;
          ++p;
        } else {
          spec.length = Spec::kShort;
        }
        break;
      case u'l':
        ++p;
        if (*p == u'l') {
          spec.length = Spec::kLongLong;
          ++p;
        } else {
          spec.length = Spec::kLong;
        }
        break;
      case u'L': ++p; spec.length = Spec::kLongDouble; break;
      case u'j': ++p; spec.length = Spec::kIntMax; break;
      case u'z': ++p; spec.length = Spec::kSize; break;
      case u't': ++p; spec.length = Spec::kPtrDiff; break;
      case u'w': ++p; spec.length = Spec::kWide; break;
      case u'I':
        if (p[1] == u'6' && p[2] == u'4') {
          p += 3;
          spec.length = Spec::kLongLong;
        } else if (p[1] == u'3' && p[2] == u'2') {
          p += 3;
          spec.length = Spec::kNone;
        } else {
          ok = false;
        }
        break;
      default: break;
    }
    if (!ok) break;
    const char16_t c = *p;
    if (c == 0 || c > 0x7F) {
      ok = false;
      break;
    }
    spec.conversion = static_cast<char>(c);
    ++p;
    switch (spec.conversion) {
      case 'd':
      case 'i': {
        long long v;
        switch (spec.length) {
          case Spec::kChar: v = static_cast<signed char>(va_arg(ap, int)); break;
          case Spec::kShort: v = static_cast<short>(va_arg(ap, int)); break;
          case Spec::kLong: v = va_arg(ap, long); break;
          case Spec::kLongLong: v = va_arg(ap, long long); break;
          case Spec::kIntMax: v = static_cast<long long>(va_arg(ap, intmax_t)); break;
          case Spec::kSize: v = static_cast<long long>(va_arg(ap, size_t)); break;
          case Spec::kPtrDiff: v = static_cast<long long>(va_arg(ap, ptrdiff_t)); break;
          default: v = va_arg(ap, int); break;
        }
        ok = PutNumber(sink, spec, "ll", v);
        break;
      }
      case 'u':
      case 'o':
      case 'x':
      case 'X': {
        unsigned long long v;
        switch (spec.length) {
          case Spec::kChar: v = static_cast<unsigned char>(va_arg(ap, unsigned)); break;
          case Spec::kShort: v = static_cast<unsigned short>(va_arg(ap, unsigned)); break;
          case Spec::kLong: v = va_arg(ap, unsigned long); break;
          case Spec::kLongLong: v = va_arg(ap, unsigned long long); break;
          case Spec::kIntMax: v = static_cast<unsigned long long>(va_arg(ap, uintmax_t)); break;
          case Spec::kSize: v = va_arg(ap, size_t); break;
          case Spec::kPtrDiff: v = static_cast<unsigned long long>(va_arg(ap, ptrdiff_t)); break;
          default: v = va_arg(ap, unsigned); break;
        }
        ok = PutNumber(sink, spec, "ll", v);
        break;
      }
      case 'e':
      case 'E':
      case 'f':
      case 'F':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (spec.length == Spec::kLongDouble) {
          ok = PutNumber(sink, spec, "L", va_arg(ap, long double));
        } else {
          ok = PutNumber(sink, spec, "", va_arg(ap, double));
        }
        break;
      case 'p':
        ok = PutNumber(sink, spec, "", va_arg(ap, void *));
        break;
      case 'c':
      case 'C': {
        const int v = va_arg(ap, int);
        const bool narrow = spec.conversion == 'C' || spec.length == Spec::kShort;
        PutUnit(sink, spec, narrow ? static_cast<char16_t>(static_cast<unsigned char>(v)) : static_cast<char16_t>(v));
        break;
      }
      case 's':
      case 'S': {
        const bool narrow = spec.conversion == 'S' ? spec.length != Spec::kLong && spec.length != Spec::kWide
                                                   : spec.length == Spec::kShort;
        if (narrow) {
          PutText(sink, spec, va_arg(ap, const char *));
        } else {
          PutText(sink, spec, va_arg(ap, const char16_t *));
        }
        break;
      }
      default:
        ok = false;  // "%n" and anything unknown
        break;
    }
  }
  va_end(ap);
  if (!ok) {
    if (out != nullptr && capacity > 0) out[0] = 0;
    return -1;
  }
  sink.End();
  return sink.Count() > 0x7FFFFFFF ? -1 : static_cast<int>(sink.Count());
}

int WideFormat(char16_t *out, size_t capacity, const char16_t *format, ...) {
  va_list args;
  va_start(args, format);
  const int n = WideFormatV(out, capacity, format, args);
  va_end(args);
  return n;
}
