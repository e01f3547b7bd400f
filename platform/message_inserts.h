// message_inserts.h - the escape and insert rules of message-table texts,
// for platforms whose system has no message formatter.
#ifndef SAL_MESSAGE_INSERTS_H
#define SAL_MESSAGE_INSERTS_H

#include <cstddef>
#include <cstdint>

/// Expands a message text into out (capacity bytes) the way the Windows
/// message formatter does.
///
/// With ignoreInserts, only two escapes act: "%0" ends the text (nothing
/// behind it is written, not even its line break) and "%n" becomes "\r\n";
/// every other byte, "%1" and "%%" included, is copied unchanged.
///
/// Without it: "%1" to "%99" become strings[0] to strings[98] (an insert
/// beyond count reads as ""; a "!...!" format behind the number is passed
/// over, the string is inserted as it is), "%0" ends the text, "%n" gives
/// "\r\n", "%r" "\r", "%t" a tab, and "%" before any other character gives
/// that character ("%%" a percent sign).  A "%" at the very end stays.
///
/// Returns the length written, or -1 when the result does not fit; out then
/// holds the part that fitted, terminated.  A null text, or out with
/// capacity 0, writes nothing and returns -1.
int SalExpandMessageInserts(const char *text, const char *const *strings, uint16_t count,
                            bool ignoreInserts, char *out, size_t capacity);

#endif  // SAL_MESSAGE_INSERTS_H
