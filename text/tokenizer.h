// tokenizer.h - in-place tokenisers over zero-terminated texts.
//
// Each keeps its position in a caller variable that starts at 0 (the start
// of the text) and holds a byte index into the text afterwards; the text
// must stay the same between calls.  A null text or state gives 0 (null).
#ifndef COMMON_TOKENIZER_H
#define COMMON_TOKENIZER_H

#include <cstddef>

/// Walks a list of zero-terminated texts ended by an empty text: returns the
/// next text, or null at the end.
const char *NextMultiString(size_t *state, const char *list);

/// Skips bytes equal to c; returns the position reached, or null when that
/// is the end of the text.
const char *SkipChar(size_t *state, const char *text, char c);

/// Returns the text up to the next byte of delimiters and overwrites the run
/// of delimiters behind it with zeros; null when nothing is left.  A token
/// is empty when the position stands on a delimiter (only at the start).
char *NextToken(size_t *state, char *text, const char *delimiters);
/// NextToken with the delimiters CR and LF.
char *NextLine(size_t *state, char *text);
/// Returns the text up to the next occurrence of separator, which is cut
/// off (its first byte zeroed) and skipped; the rest of the text when there
/// is none.  Null when nothing is left.  An empty separator takes the rest.
char *NextPiece(size_t *state, char *text, const char *separator);

/// Skips spaces, CR and LF, then copies the following word (ended by a
/// space, CR, LF or the end) into out, at most capacity - 1 bytes, and
/// consumes it and the byte that ended it.  Returns 1, or 0 when no word is
/// left (out then holds "").  A null out or capacity 0 gives 0.
int NextWordCopy(size_t *state, const char *text, char *out, size_t capacity);
/// The same in place: returns the word, terminated over its delimiter.
char *NextWord(size_t *state, char *text);

#endif  // COMMON_TOKENIZER_H
