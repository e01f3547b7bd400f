// base64.h - base64 encoding and decoding of arbitrary bytes, into
// caller-supplied buffers or into a CCommonString.
//
// The alphabet is A-Z a-z 0-9 + / with = as the pad character.  None of the
// functions sets the thread's last-error value (except for storage that
// cannot be obtained by the string forms).
#ifndef COMMON_BASE64_H
#define COMMON_BASE64_H

#include <cstdint>

class CCommonString;

/// Encodes inLength bytes at in into zero-terminated text at out, which
/// holds capacity bytes (terminator included).  With groupsPerLine > 0 a
/// line feed follows every groupsPerLine complete 4-character groups (also
/// the last group when it completes a line); never after the final partial
/// group, which is padded with = to 4 characters.  On success stores the
/// characters written (terminator excluded) in *outLength when given and
/// returns 1.  When the output does not fit, writes the complete groups
/// (each with its line feed) that fit together with the terminator, stores
/// nothing in *outLength and returns 0; nothing is ever written at or past
/// out + capacity.  Null in or out, or capacity 0, returns 0 at once.
int Base64Encode(char *out, uint32_t capacity, const void *in, uint32_t inLength,
                 uint32_t *outLength, uint32_t groupsPerLine);

/// Number of characters Base64Encode writes for inLength bytes, terminator
/// excluded.
uint64_t Base64EncodedLength(uint64_t inLength, uint32_t groupsPerLine);

/// Replaces outString's contents with the encoding of all of inString's
/// bytes (zero bytes included).  outString and inString may be the same
/// object.  Returns 1, or 0 when storage was not obtained (outString is
/// then empty).
int Base64EncodeString(CCommonString &outString, const CCommonString &inString,
                       uint32_t groupsPerLine);

/// Decodes the zero-terminated text into out.  On entry *ioLength is the
/// capacity of out; on return it is the number of bytes decoded, and a zero
/// byte is stored behind them.  Bytes outside the alphabet (white space,
/// line breaks, bytes 128-255, ...) are skipped wherever they stand, and
/// decoding goes on behind pad characters, so concatenated encodings decode
/// to the concatenated bytes.  Returns 1 when the text ends between two
/// groups.  Returns 0, keeping the bytes decoded so far, when the text ends
/// inside a group, a group starts with a pad or has one in its second
/// place, its third character is a pad and its fourth is not, or fewer than
/// 4 bytes of out are free before a group (three data bytes and the
/// terminator).  Null out, ioLength or text returns 0 at once; a capacity of
/// 0 returns 0 without writing.
int Base64Decode(void *out, uint32_t *ioLength, const char *text);

/// Decodes the zero-terminated text into outString, replacing its contents
/// (so text may be outString's own).  Zero bytes are kept.  Returns the
/// result of the decoding, with what was decoded before a failure kept.  A
/// null text returns 0 and leaves outString unchanged; storage that was
/// not obtained returns 0 with outString empty.
int Base64DecodeString(CCommonString &outString, const char *text);

#endif  // COMMON_BASE64_H
