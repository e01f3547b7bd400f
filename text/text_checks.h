// text_checks.h - UTF-8 checks over byte ranges and the identifier test.
#ifndef COMMON_TEXT_CHECKS_H
#define COMMON_TEXT_CHECKS_H

/// 1 when a UTF-8 sequence of two or more bytes (as MatchUtf8Char reads
/// them) occurs in [text, end); a null end means the end of the
/// zero-terminated text.  0 for null text.
int HasUtf8Multibyte(const char *text, const char *end);
/// 1 when the whole range is well-formed UTF-8 (no overlong forms, no
/// encoded surrogates, nothing above U+10FFFF); a null text answers 1.
int IsValidUtf8(const char *text, const char *end);
/// 1 when the range is valid UTF-8 and holds at least one multibyte sequence.
int IsUtf8WithMultibyte(const char *text, const char *end);

/// 1 when text starts with a letter, "_" or "$", continues with letters,
/// digits, "_" or "$" only, and is none of the 50 reserved words of the
/// scripting language (compared case-sensitively).  0 for null and "".
int IsIdentifier(const char *text);

#endif  // COMMON_TEXT_CHECKS_H
