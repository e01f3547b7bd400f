// escape.h - the C-style escaping of arbitrary bytes and its inverse.
// (The in-place forms EscapeC, UnescapeC and EscapeHtml are members of
// CCommonString.)
//
// The escaped form: bytes 32-127, CR, LF and HT other than the backslash
// stand for themselves; a backslash is written as two backslashes; every
// other byte as a backslash, a lower-case x and two upper-case hexadecimal
// digits.  A hexadecimal digit that directly follows such an escape is
// escaped too, because the decoder takes "\x" with exactly two digits and
// no third one: so every escaped text decodes to the bytes it came from.
#ifndef COMMON_ESCAPE_H
#define COMMON_ESCAPE_H

#include <cstdint>

class CCommonString;

/// Escapes length bytes of data (length 0xFFFFFFFF: data is zero-terminated
/// text).  Returns a new string that the caller deletes, or null when no
/// byte needed escaping, for null data or length 0, and when storage was
/// not obtained (then with last-error 0xE00303EB).
CCommonString *EscapeCText(const void *data, uint32_t length);

/// The inverse, with the same conventions: two backslashes become one, a
/// backslash followed by x and exactly two hexadecimal digits (either case;
/// no third digit behind them) becomes the byte they denote, a backslash
/// followed by any other byte becomes that byte, and a backslash at the
/// very end stays.  Null when the text holds no backslash that changes it.
CCommonString *UnescapeCText(const void *data, uint32_t length);

#endif  // COMMON_ESCAPE_H
