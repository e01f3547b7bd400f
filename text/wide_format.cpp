// wide_format.cpp - printf-style formatting of 16-bit texts.
//
// The format is walked here; every conversion is rendered on its own, the
// numeric ones by the runtime's snprintf from a rebuilt 8-bit
// directive, the text ones here, where the argument types are known.
#include "text/wide_format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "base/text.h"

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

struct Directive {
  char flags[8] = {};
  int flagCount = 0;
  bool leftAlign = false;
  int width = -1;
  int precision = -1;
  enum Length { kNone, kChar, kShort, kLong, kLongLong, kLongDouble, kIntMax, kSize, kPtrDiff, kWide } length = kNone;
  char conversion = 0;
};

// The argument of an integer conversion, read as the type its length
// modifier names (the promoted type for char and short) and widened to Int:
// long long for d and i, unsigned long long for u, o, x and X.
template <typename Int>
Int IntegerArgument(va_list &ap, Directive::Length length) {
  constexpr bool kSigned = std::is_signed<Int>::value;
  using Char = std::conditional_t<kSigned, signed char, unsigned char>;
  using Short = std::conditional_t<kSigned, short, unsigned short>;
  using Promoted = std::conditional_t<kSigned, int, unsigned>;
  using Long = std::conditional_t<kSigned, long, unsigned long>;
  using Max = std::conditional_t<kSigned, intmax_t, uintmax_t>;
  switch (length) {
    case Directive::kChar: return static_cast<Char>(va_arg(ap, Promoted));
    case Directive::kShort: return static_cast<Short>(va_arg(ap, Promoted));
    case Directive::kLong: return va_arg(ap, Long);
    case Directive::kLongLong: return va_arg(ap, Int);
    case Directive::kIntMax: return static_cast<Int>(va_arg(ap, Max));
    case Directive::kSize: return static_cast<Int>(va_arg(ap, size_t));
    case Directive::kPtrDiff: return static_cast<Int>(va_arg(ap, ptrdiff_t));
    default: return va_arg(ap, Promoted);
  }
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A length modifier whose letter means more when doubled (h and hh, l and
// ll): takes the letter at p, and the same letter again when it follows.
Directive::Length SingleOrDouble(const char16_t *&p, Directive::Length single,
                                 Directive::Length doubled) {
  const char16_t letter = *p++;
  if (*p != letter) return single;
  ++p;
  return doubled;
}

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

// Text of n units (8- or 16-bit) with the width and precision of directive.
template <typename Char>
void PutText(Sink &sink, const Directive &directive, const Char *text) {
  static const char kNull[] = "(null)";
  size_t n = 0;
  if (text == nullptr) {
    n = sizeof kNull - 1;
    if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < n) n = static_cast<size_t>(directive.precision);
  } else {
    while ((directive.precision < 0 || n < static_cast<size_t>(directive.precision)) && text[n] != 0) ++n;
  }
  const size_t pad = directive.width > 0 && static_cast<size_t>(directive.width) > n ? static_cast<size_t>(directive.width) - n : 0;
  if (!directive.leftAlign) sink.PutRepeated(u' ', pad);
  for (size_t i = 0; i < n; ++i) {
    if (text == nullptr) {
      sink.Put(static_cast<char16_t>(kNull[i]));
    } else {
      sink.Put(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(text[i])));
    }
  }
  if (directive.leftAlign) sink.PutRepeated(u' ', pad);
}

void PutUnit(Sink &sink, const Directive &directive, char16_t unit) {
  const size_t pad = directive.width > 1 ? static_cast<size_t>(directive.width) - 1 : 0;
  if (!directive.leftAlign) sink.PutRepeated(u' ', pad);
  sink.Put(unit);
  if (directive.leftAlign) sink.PutRepeated(u' ', pad);
}

// Renders a numeric conversion through snprintf and widens it.  Width and
// precision go in as "*" arguments; a negative precision means "none", as
// printf reads a negative "*" (pointers take none at all).
template <typename T>
bool PutNumber(Sink &sink, const Directive &directive, const char *lengthText, T value) {
  const bool pointer = directive.conversion == 'p';
  char format[32];
  int n = 0;
  format[n++] = '%';
  for (int i = 0; i < directive.flagCount; ++i) format[n++] = directive.flags[i];
  format[n++] = '*';
  if (!pointer) {
    format[n++] = '.';
    format[n++] = '*';
  }
  for (const char *l = lengthText; *l != '\0'; ++l) format[n++] = *l;
  format[n++] = directive.conversion;
  format[n] = '\0';
  const int width = directive.width >= 0 ? (directive.leftAlign ? -directive.width : directive.width) : 0;
  auto render = [&](char *buffer, size_t size) {
    return pointer ? std::snprintf(buffer, size, format, width, value)
                   : std::snprintf(buffer, size, format, width, directive.precision, value);
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
    Directive directive;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
      if (*p == u'-') directive.leftAlign = true;
      if (directive.flagCount < 7 && *p != u'-') directive.flags[directive.flagCount++] = static_cast<char>(*p);
      ++p;
    }
    if (*p == u'*') {
      directive.width = va_arg(ap, int);
      if (directive.width < 0) {
        directive.leftAlign = true;
        directive.width = directive.width == INT32_MIN ? INT32_MAX : -directive.width;
      }
      ++p;
    } else {
      directive.width = ReadNumber(p);
    }
    if (*p == u'.') {
      ++p;
      if (*p == u'*') {
        directive.precision = va_arg(ap, int);
        ++p;
      } else {
        directive.precision = ReadNumber(p);
        if (directive.precision < 0) directive.precision = 0;
      }
    }
    if (directive.width > 100000000) directive.width = 100000000;
    switch (*p) {
      case u'h': directive.length = SingleOrDouble(p, Directive::kShort, Directive::kChar); break;
      case u'l': directive.length = SingleOrDouble(p, Directive::kLong, Directive::kLongLong); break;
      case u'L': ++p; directive.length = Directive::kLongDouble; break;
      case u'j': ++p; directive.length = Directive::kIntMax; break;
      case u'z': ++p; directive.length = Directive::kSize; break;
      case u't': ++p; directive.length = Directive::kPtrDiff; break;
      case u'w': ++p; directive.length = Directive::kWide; break;
      case u'I':
        if (p[1] == u'6' && p[2] == u'4') {
          p += 3;
          directive.length = Directive::kLongLong;
        } else if (p[1] == u'3' && p[2] == u'2') {
          p += 3;
          directive.length = Directive::kNone;
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
    directive.conversion = static_cast<char>(c);
    ++p;
    switch (directive.conversion) {
      case 'd':
      case 'i':
        ok = PutNumber(sink, directive, "ll", IntegerArgument<long long>(ap, directive.length));
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        ok = PutNumber(sink, directive, "ll", IntegerArgument<unsigned long long>(ap, directive.length));
        break;
      case 'e':
      case 'E':
      case 'f':
      case 'F':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (directive.length == Directive::kLongDouble) {
          ok = PutNumber(sink, directive, "L", va_arg(ap, long double));
        } else {
          ok = PutNumber(sink, directive, "", va_arg(ap, double));
        }
        break;
      case 'p':
        ok = PutNumber(sink, directive, "", va_arg(ap, void *));
        break;
      case 'c':
      case 'C': {
        const int v = va_arg(ap, int);
        const bool narrow = directive.conversion == 'C' || directive.length == Directive::kShort;
        PutUnit(sink, directive, narrow ? static_cast<char16_t>(static_cast<unsigned char>(v)) : static_cast<char16_t>(v));
        break;
      }
      case 's':
      case 'S': {
        const bool narrow = directive.conversion == 'S' ? directive.length != Directive::kLong && directive.length != Directive::kWide
                                                   : directive.length == Directive::kShort;
        if (narrow) {
          PutText(sink, directive, va_arg(ap, const char *));
        } else {
          PutText(sink, directive, va_arg(ap, const char16_t *));
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
  SAL_RETURN_VA_CALL(args, format, WideFormatV(out, capacity, format, args));
}
