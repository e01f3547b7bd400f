// char_class.h - CCommonCharClasses, the process-wide character-class table,
// and IsCharClass, its query.
//
// Every byte value 0-255 has a 32-bit mask of the classes it belongs to.
// The table is a constant: the compiler builds it, so it exists before any
// code runs and no thread ever writes it.  Callers or masks together to ask
// for membership in any of several classes.
#ifndef COMMON_CHAR_CLASS_H
#define COMMON_CHAR_CLASS_H

#include <cstdint>

// The class masks.
constexpr uint32_t kCharAscii = 0x00000001;         // 0-127
constexpr uint32_t kCharAlpha = 0x00000002;         // A-Z, a-z
constexpr uint32_t kCharDigit = 0x00000004;         // 0-9
constexpr uint32_t kCharControl = 0x00000008;       // 0-31
constexpr uint32_t kCharCr = 0x00000010;            // CR
constexpr uint32_t kCharLf = 0x00000020;            // LF
constexpr uint32_t kCharSpace = 0x00000040;         // space
constexpr uint32_t kCharHt = 0x00000080;            // HT
constexpr uint32_t kCharDoubleQuote = 0x00000100;   // "
constexpr uint32_t kCharLinearWhite = 0x00000200;   // HT, space
constexpr uint32_t kCharSpecial = 0x00000400;       // ( ) < > @ , ; : \ " . [ ]
constexpr uint32_t kCharUpper = 0x00000800;         // A-Z
constexpr uint32_t kCharLower = 0x00001000;         // a-z
constexpr uint32_t kCharLineBreak = 0x00002000;     // CR, LF, FF
constexpr uint32_t kCharDecimal = 0x00004000;       // 0-9
constexpr uint32_t kCharHexDigit = 0x00008000;      // 0-9, a-f, A-F
constexpr uint32_t kCharLetter = 0x00010000;        // A-Z, a-z
constexpr uint32_t kCharWhite = 0x00020000;         // CR, LF, FF, HT, space
constexpr uint32_t kCharBreakOrTab = 0x00040000;    // CR, LF, FF, HT
constexpr uint32_t kCharPrintable = 0x00080000;     // 32-126, 160-254
constexpr uint32_t kCharNonPrintable = 0x00100000;  // 0-31, 127-159, 255
constexpr uint32_t kCharQuote = 0x00200000;         // " and '
constexpr uint32_t kCharNonBase64 = 0x00400000;     // not A-Z a-z 0-9 + / =
constexpr uint32_t kCharPlainText = 0x00800000;     // 32-127, CR, LF, HT
constexpr uint32_t kCharUtf8Start = 0x01000000;     // 0-127, 192-247
constexpr uint32_t kCharIdentStart = 0x02000000;    // A-Z, a-z, _, $

class CCommonCharClasses {
 public:
  /// Builds the table: every entry zero, then each class in the order of
  /// the masks above, each setting its mask on its members.  The two
  /// complement classes are made by setting the mask on the positive set
  /// (the printable bytes, the base64 characters) and then toggling it on
  /// all 256 entries.
  constexpr CCommonCharClasses() : entry_() {
    Set(0, 127, kCharAscii);
    Set('A', 'Z', kCharAlpha);
    Set('a', 'z', kCharAlpha);
    Set('0', '9', kCharDigit);
    Set(0, 31, kCharControl);
    Set('\r', '\r', kCharCr);
    Set('\n', '\n', kCharLf);
    Set(' ', ' ', kCharSpace);
    Set('\t', '\t', kCharHt);
    Set('"', '"', kCharDoubleQuote);
    SetEach("\t ", kCharLinearWhite);
    SetEach("()<>@,;:\\\".[]", kCharSpecial);
    // A-Z and a-z get their letter class together with their case class,
    // the digits their decimal and hexadecimal classes in one step.
    Set('A', 'Z', kCharUpper | kCharLetter);
    Set('a', 'z', kCharLower | kCharLetter);
    SetEach("\r\n\f", kCharLineBreak);
    Set('0', '9', kCharDecimal | kCharHexDigit);
    Set('a', 'f', kCharHexDigit);
    Set('A', 'F', kCharHexDigit);
    SetEach("\r\n\f\t ", kCharWhite);
    SetEach("\r\n\f\t", kCharBreakOrTab);
    Set(32, 126, kCharPrintable | kCharNonPrintable);
    Set(160, 254, kCharPrintable | kCharNonPrintable);
    Toggle(kCharNonPrintable);
    SetEach("\"'", kCharQuote);
    Set('A', 'Z', kCharNonBase64);
    Set('a', 'z', kCharNonBase64);
    Set('0', '9', kCharNonBase64);
    SetEach("+/=", kCharNonBase64);
    Toggle(kCharNonBase64);
    Set(32, 127, kCharPlainText);
    SetEach("\r\n\t", kCharPlainText);
    Set(0, 127, kCharUtf8Start);
    Set(192, 247, kCharUtf8Start);
    Set('A', 'Z', kCharIdentStart);
    Set('a', 'z', kCharIdentStart);
    SetEach("_$", kCharIdentStart);
  }

  /// The classes of byte.
  constexpr uint32_t Classes(unsigned char byte) const { return entry_[byte]; }

 private:
  constexpr void Set(unsigned first, unsigned last, uint32_t mask) {
    for (unsigned c = first; c <= last; ++c) entry_[c] |= mask;
  }
  constexpr void SetEach(const char *members, uint32_t mask) {
    for (; *members != '\0'; ++members) entry_[static_cast<unsigned char>(*members)] |= mask;
  }
  constexpr void Toggle(uint32_t mask) {
    for (uint32_t &e : entry_) e ^= mask;
  }

  uint32_t entry_[256];
};

/// The one table of the process.
inline constexpr CCommonCharClasses kCommonCharClasses{};

/// Whether byte (always taken as unsigned) belongs to any class in mask.
constexpr bool IsCharClass(unsigned char byte, uint32_t mask) {
  return (kCommonCharClasses.Classes(byte) & mask) != 0;
}

#endif  // COMMON_CHAR_CLASS_H
