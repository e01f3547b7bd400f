// dump_lines.h - one-line hexadecimal and text dumps of byte buffers, and
// quoted literals of a text split into lines.
#ifndef COMMON_DUMP_LINES_H
#define COMMON_DUMP_LINES_H

#include <cstddef>
#include <cstdint>

/// Room a hex dump line needs: the longest line and its terminator.
constexpr size_t kHexDumpLineSize = 77;
/// Room a text dump line needs.
constexpr size_t kTextDumpLineSize = 196;

/// Renders the up to 16 bytes of data from *ioOffset as one line: the
/// offset as "%08X", two spaces, one character per byte (the byte when
/// printable, else "+") padded with spaces to 18 characters, then each byte
/// as two upper-case hexadecimal digits and a space.  Advances *ioOffset
/// past the bytes.  Returns 1, or 0 (nothing written) for a null pointer,
/// a capacity below kHexDumpLineSize, or *ioOffset not below length.
int HexDumpLine(uint32_t *ioOffset, char *out, size_t capacity, const void *data, uint32_t length);
/// The same with mask for unprintable bytes; a double-byte character of the
/// ANSI code page whose both bytes lie in the line is copied unchanged.
int HexDumpLineMbcs(uint32_t *ioOffset, char *out, size_t capacity, const void *data,
                    uint32_t length, char mask);

/// Copies one line of data from *ioOffset, at most 96 bytes, and advances
/// *ioOffset past it and its line break.  A run of CR and LF ends the line
/// and is consumed; with escape each is written as "\r" / "\n", without it
/// they are dropped.  With escape, BEL, BS, HT, VT and FF are written as
/// "\a", "\b", "\t", "\v", "\f" and a space as spaceFill; without escape
/// bytes are copied as they are.  A double-byte character is copied whole.
/// A line cut at 96 bytes (no line break met) ends in " >>".  Returns 1, or
/// 0 (nothing written) for a null pointer, a capacity below
/// kTextDumpLineSize or *ioOffset not below length.
int TextDumpLine(uint32_t *ioOffset, char *out, size_t capacity, const void *data, uint32_t length,
                 int escape, char spaceFill);

/// Renders text from *ioIndex (an index into text, at most its length) as
/// one quoted chunk: quote, then characters
/// until a source LF has been taken, width - 1 output characters (the
/// opening quote counted) are reached, or the text ends; then quote and a
/// terminator; returns 1 and advances *ioIndex.  Every chunk takes at least
/// one character, whatever the width.  With escape, BEL, BS, HT, LF, VT,
/// FF, CR, double quote and backslash are written in backslash form;
/// without escape the bytes 7-13 are dropped.  When the text is already at
/// its end only the opening quote and a terminator are written and 0
/// returned.  When the next character would leave fewer than 4 bytes free,
/// the partial chunk is terminated (without closing quote) and 0 returned.
/// Null pointers or a capacity below 2 give 0 without writing.
int QuotedLiteralLine(uint32_t *ioIndex, char *out, size_t capacity, const char *text,
                      uint32_t width, char quote, int escape);
/// The same, copying double-byte characters of the ANSI code page whole.
int QuotedLiteralLineMbcs(uint32_t *ioIndex, char *out, size_t capacity, const char *text,
                          uint32_t width, char quote, int escape);

/// Writes text as consecutive escaped quoted chunks (QuotedLiteralLine),
/// each followed, when more text follows and more than indent + 2 bytes of
/// room remain, by an LF and indent spaces.  An empty text gives two
/// quotes.  Returns 1 when all of text was written, 0 when the room ran out
/// (the output is then terminated where it stopped) or for null pointers or
/// a capacity below 3.
int QuotedLiteralBlock(char *out, size_t capacity, const char *text, uint32_t indent,
                       uint32_t width, char quote);

#endif  // COMMON_DUMP_LINES_H
