// number_layout.h - the base-100 decimal layout of database client
// interfaces (NUMBER, and VARNUM with its length prefix).
//
// Layout: one exponent byte, then up to 20 base-100 digits, most
// significant first.  For a value >= 0 the exponent byte is e + 193 where
// value = d1 * 100^e + d2 * 100^(e-1) + ..., and each digit byte is d + 1.
// For a value < 0 the exponent byte is the complement of e + 193 (62 - e),
// each digit byte 101 - d, and a byte 102 ends the digits when fewer than 20
// were written.  Zero is the single byte 0x80.  VARNUM puts the number of
// bytes that follow in front.
#ifndef COMMON_NUMBER_LAYOUT_H
#define COMMON_NUMBER_LAYOUT_H

#include <cstdint>

constexpr uint32_t kNumberAllDigits = 1;  // produce digits up to the limit
constexpr uint32_t kNumberVarnum = 2;     // write the length prefix

/// Results of EncodeNumber.
constexpr int kNumberExact = 0;    // the value was represented exactly
constexpr int kNumberNoRoom = 2;   // no room for the exponent byte
constexpr int kNumberCut = 3;      // digits were cut off (or the value has no layout)

/// Encodes value into buffer.  On entry *ioLength is the buffer's size, on
/// return the bytes written.  The digits are those of the shortest decimal
/// text that reads back as value; they stop after the last non-zero one
/// (unless flags has kNumberAllDigits, which writes zeros up to the limit),
/// at 20, or at the buffer's end; dropped digits are not rounded into the
/// last one.  The exponent is limited to -65...62: a smaller value starts
/// with zero digits, a larger one gets 99 for every digit.  NaN and
/// infinities have no layout: nothing is written, *ioLength becomes 0 and
/// the result is kNumberCut.  A null buffer or ioLength gives kNumberNoRoom.
int EncodeNumber(double value, uint8_t *buffer, uint32_t *ioLength, uint32_t flags);

/// Decodes length bytes of the NUMBER layout (without a VARNUM prefix) into
/// *out.  Returns 0, or 1 when a digit byte decodes to more than 99, when
/// bytes is null or length is 0 (*out then 0).
int DecodeNumber(const uint8_t *bytes, uint32_t length, double *out);

#endif  // COMMON_NUMBER_LAYOUT_H
