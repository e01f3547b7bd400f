// text_search.h - searches in zero-terminated texts: with direction and
// case flags, ignoring white space, incremental across chunks, and by
// skip table.
#ifndef COMMON_TEXT_SEARCH_H
#define COMMON_TEXT_SEARCH_H

#include <cstdint>

/// Flags of FindWithFlags and FindIgnoringSpace.
constexpr uint32_t kFindContinue = 1;  // go on from the position in *ioPosition
constexpr uint32_t kFindExact = 2;     // compare exactly (else ignoring case)
constexpr uint32_t kFindBackward = 4;  // search from the end towards the start

/// 1-based position of an occurrence of pattern in text, 0 when none.
/// Forward: from index *ioPosition (with kFindContinue: the position of the
/// previous result, so the search goes on behind its first byte) or 0.
/// Backward: from index *ioPosition - 2 (kFindContinue; a stored position
/// below 2 gives 0) or from the last place a match fits, down to 0.  A
/// non-zero result is stored in *ioPosition.  Without kFindExact, bytes
/// (units) compare after upper-casing.  A null text or pattern sets
/// 0xE0050004 and gives 0; a pattern longer than the text gives 0.
/// ioPosition may be null without kFindContinue.
uint32_t FindWithFlags(uint32_t *ioPosition, const char *text, const char *pattern, uint32_t flags);
uint32_t FindWithFlags(uint32_t *ioPosition, const char16_t *text, const char16_t *pattern,
                       uint32_t flags);

/// As FindWithFlags, where each pattern character that is not white space
/// may be preceded in the text by white space (IsSpaceChar), which is
/// skipped and counted into *outSkipped (when given) for the match found;
/// a white-space pattern character must meet the same character.  A null
/// text or pattern sets 0xE0050004 and gives 0.
uint32_t FindIgnoringSpace(uint32_t *ioPosition, const char *text, const char *pattern, uint32_t flags,
                           uint32_t *outSkipped);

/// Incremental search over a text that arrives in zero-terminated chunks.
/// *state is the part of pattern matched so far (null at the start) and
/// must be kept between the calls of one search.  Returns the position in
/// chunk just after the first occurrence that ends in it, or null when none
/// ends in it; an occurrence may start in earlier chunks.  Every
/// occurrence is found, overlapping ones included: calling again with the
/// rest of the chunk from the returned position goes on with the next.
/// Null for a null state, chunk or pattern and for an empty pattern.
const char *FeedSearch(const char **state, const char *chunk, const char *pattern);
/// The same, comparing bytes after lower-casing.
const char *FeedSearchNoCase(const char **state, const char *chunk, const char *pattern);

/// 1-based position of the first occurrence of pattern in text by a
/// skip-table search; 0 when none or for null.  An empty pattern gives 1.
uint32_t FindFast(const char *text, const char *pattern);

#endif  // COMMON_TEXT_SEARCH_H
