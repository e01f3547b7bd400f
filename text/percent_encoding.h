// percent_encoding.h - form-style and minimal percent encoding of 8-bit
// text, and their in-place decoders.
//
// Both encoders share one buffer protocol: *ioLength holds the capacity of
// out on entry (ignored, and taken as 0, when out is null) and the length
// of the complete encoding (terminator excluded) on return, whether or not
// it fitted.  So a caller may ask once with a null out to learn the length
// and again with a buffer of at least that length plus one.  Failures set
// the thread's last-error value through SalRecordLastError.
#ifndef COMMON_PERCENT_ENCODING_H
#define COMMON_PERCENT_ENCODING_H

#include <cstdint>

/// Form-style encoding of the zero-terminated text: bytes 32-127 other than
/// the reserved characters ! " # $ % & ' ( ) * + , / : ; < = > ? @ [ \ ] ^ `
/// { | } ~ stand for themselves, except the space, which becomes a plus
/// sign; every other byte becomes % and two upper-case hexadecimal digits.
/// Returns 1 when the encoding and its terminator fitted into out.  When
/// they did not, writes the items that fitted (a literal only while one byte
/// stays free behind it, an escape only while one byte stays free behind
/// its three), then zeroes out[0] (capacity not 0), stores the full length
/// and returns 0 with 0xE0050007.  A null text or ioLength returns 0 with
/// 0xE0050004 and writes nothing.  A length beyond 32 bits is reported as
/// 0xFFFFFFFF.
int FormUrlEncode(char *out, uint32_t *ioLength, const char *text);

/// Minimal encoding: the percent sign and bytes 127-255 become % and two
/// upper-case hexadecimal digits; every other byte stands for itself.  The
/// buffer protocol, results and codes are those of FormUrlEncode.
int PercentEncode(char *out, uint32_t *ioLength, const char *text);

/// Decodes form-style encoding in place: literal CR and LF are dropped, a
/// plus sign becomes a space, % followed by two hexadecimal digits (either
/// case) becomes the byte they denote (which may be a zero byte), every
/// other byte stays.  Returns 1 with the result terminated.  A percent sign
/// without two hexadecimal digits behind it terminates the result where it
/// stands and returns 0 with 0xE002000F.  A null text returns 0 with
/// 0xE0020002.
int FormUrlDecode(char *text);

/// The same, but a plus sign stays a plus sign.
int PercentDecode(char *text);

#endif  // COMMON_PERCENT_ENCODING_H
