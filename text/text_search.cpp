// text_search.cpp - FindWithFlags, FindIgnoringSpace, FeedSearch, FindFast.
#include "base/last_error.h"
#include "text/printable.h"
#include "text/text_search.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <new>

#include "base/sal_errors.h"
#include "text/wide_text.h"

namespace {
// ---- FindWithFlags -------------------------------------------------------------

struct Narrow {
  using Char = char;
  static size_t Length(const char *text) { return std::strlen(text); }
  static bool Same(char a, char b) { return a == b; }
  static bool SameNoCase(char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  }
};

struct Wide {
  using Char = char16_t;
  static size_t Length(const char16_t *text) { return WideLength(text); }
  static bool Same(char16_t a, char16_t b) { return a == b; }
  static bool SameNoCase(char16_t a, char16_t b) { return WideUpper(a) == WideUpper(b); }
};

// Calls test(index) over the indexes the flags ask for; returns the first
// index for which it holds, stored 1-based in *ioPosition, or 0.
template <typename Test>
uint32_t Scan(uint32_t *ioPosition, size_t textLength, size_t patternLength, uint32_t flags, Test test) {
  if (patternLength > textLength) return 0;
  const size_t last = textLength - patternLength;  // the last index a match fits at
  const bool resume = (flags & kFindContinue) != 0 && ioPosition != nullptr;
  size_t found = 0;
  bool hit = false;
  if ((flags & kFindBackward) != 0) {
    size_t start = last;
    if (resume) {
      if (*ioPosition < 2) return 0;
      start = *ioPosition - 2;
      if (start > last) start = last;
    }
    for (size_t i = start + 1; i-- > 0;) {
      if (test(i)) {
        found = i;
        hit = true;
        break;
      }
    }
  } else {
    for (size_t i = resume ? *ioPosition : 0; i <= last; ++i) {
      if (test(i)) {
        found = i;
        hit = true;
        break;
      }
    }
  }
  if (!hit || found + 1 > 0xFFFFFFFFu) return 0;
  if (ioPosition != nullptr) *ioPosition = static_cast<uint32_t>(found + 1);
  return static_cast<uint32_t>(found + 1);
}

template <typename Traits>
uint32_t FindFlagged(uint32_t *ioPosition, const typename Traits::Char *text,
                     const typename Traits::Char *pattern, uint32_t flags) {
  if (text == nullptr || pattern == nullptr) {
    SalRecordLastError(kCommonErrNullSearchArg);
    return 0;
  }
  const size_t n = Traits::Length(pattern);
  const bool exact = (flags & kFindExact) != 0;
  return Scan(ioPosition, Traits::Length(text), n, flags, [&](size_t i) {
    for (size_t k = 0; k < n; ++k)
      if (exact ? !Traits::Same(text[i + k], pattern[k]) : !Traits::SameNoCase(text[i + k], pattern[k]))
        return false;
    return true;
  });
}
}  // namespace

uint32_t FindWithFlags(uint32_t *ioPosition, const char *text, const char *pattern, uint32_t flags) {
  return FindFlagged<Narrow>(ioPosition, text, pattern, flags);
}

uint32_t FindWithFlags(uint32_t *ioPosition, const char16_t *text, const char16_t *pattern,
                       uint32_t flags) {
  return FindFlagged<Wide>(ioPosition, text, pattern, flags);
}

uint32_t FindIgnoringSpace(uint32_t *ioPosition, const char *text, const char *pattern, uint32_t flags,
                           uint32_t *outSkipped) {
  if (text == nullptr || pattern == nullptr) {
    SalRecordLastError(kCommonErrNullSearchArg);
    return 0;
  }
  const bool exact = (flags & kFindExact) != 0;
  uint32_t skipped = 0;
  const uint32_t result = Scan(ioPosition, std::strlen(text), std::strlen(pattern), flags, [&](size_t i) {
    skipped = 0;
    const char *t = text + i;
    for (const char *p = pattern; *p != '\0'; ++p) {
      if (!IsSpaceChar(static_cast<unsigned char>(*p))) {
        while (IsSpaceChar(static_cast<unsigned char>(*t))) {
          ++t;
          ++skipped;
        }
      }
      if (*t == '\0') return false;
      if (exact ? *t != *p : !Narrow::SameNoCase(*t, *p)) return false;
      ++t;
    }
    return true;
  });
  if (result != 0 && outSkipped != nullptr) *outSkipped = skipped;
  return result;
}

// ---- FeedSearch ------------------------------------------------------------------
//
// A prefix-function automaton: on a mismatch after q matched bytes the
// search falls back to the longest proper border of the matched part
// instead of the pattern's start, so an occurrence that starts inside a
// partial match ("aab" in "aaab") is not lost.  The matched part itself is
// the state between chunks.

namespace {
constexpr size_t kStackBorders = 256;

template <typename Same>
void Borders(const char *pattern, size_t n, uint32_t *border, Same same) {
  border[0] = 0;
  uint32_t k = 0;
  for (size_t i = 1; i < n; ++i) {
    while (k > 0 && !same(pattern[i], pattern[k])) k = border[k - 1];
    if (same(pattern[i], pattern[k])) ++k;
    border[i] = k;
  }
}

template <typename Same>
const char *Feed(const char **state, const char *chunk, const char *pattern, Same same) {
  if (state == nullptr || chunk == nullptr || pattern == nullptr || *pattern == '\0') return nullptr;
  const size_t n = std::strlen(pattern);
  // border[i]: length of the longest proper border of pattern[0, i].
  uint32_t stackBorders[kStackBorders];
  std::unique_ptr<uint32_t[]> heapBorders;
  uint32_t *border = stackBorders;
  if (n > kStackBorders) {
    heapBorders.reset(new (std::nothrow) uint32_t[n]);
    if (!heapBorders) {
      SalRecordLastError(kCommonErrNoStorage);
      return nullptr;
    }
    border = heapBorders.get();
  }
  Borders(pattern, n, border, same);
  size_t q = *state != nullptr ? static_cast<size_t>(*state - pattern) : 0;
  if (q >= n) q = border[n - 1];  // a state left at the end by a caller
  for (const char *c = chunk; *c != '\0'; ++c) {
    while (q > 0 && !same(*c, pattern[q])) q = border[q - 1];
    if (same(*c, pattern[q])) ++q;
    if (q == n) {
      // Keep the border, so that an overlapping occurrence is found next.
      q = border[n - 1];
      *state = q > 0 ? pattern + q : nullptr;
      return c + 1;
    }
  }
  *state = q > 0 ? pattern + q : nullptr;
  return nullptr;
}

bool SameByte(char a, char b) { return a == b; }
bool SameLower(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}
}  // namespace

const char *FeedSearch(const char **state, const char *chunk, const char *pattern) {
  return Feed(state, chunk, pattern, SameByte);
}

const char *FeedSearchNoCase(const char **state, const char *chunk, const char *pattern) {
  return Feed(state, chunk, pattern, SameLower);
}

// ---- FindFast --------------------------------------------------------------------
//
// A skip-table search whose table is indexed by a hash of the two text bytes
// under the pattern's last two places rather than by the last byte alone:
// in text whose bytes mostly occur in the pattern (letters searched for a
// word), single bytes rarely allow a long skip, pairs usually do.  The
// table holds, per hash, the last place (1 to n - 1, the second byte of a
// pattern pair) where a pair of that hash stands, 0 for none; the window
// moves by n - 1 minus that place.  That is safe: any smaller move would put
// the text pair over a later pattern pair of another hash.  Bytes compare as
// unsigned values.  The text's length is found in blocks just ahead of the
// search, so the text is read while it is still in the cache.  Patterns of
// one or two bytes are found with strchr.

namespace {
constexpr size_t kLengthBlock = 1u << 16;

constexpr uint32_t kPairHashes = 4096;

// 12 bits mixing both bytes of the pair ending at second; in a table of
// 4096 entries a pattern's pairs leave most entries empty, so most windows
// move by the full n - 1 without a mispredicted branch.
inline uint32_t PairHash(const unsigned char *second) {
  return ((static_cast<uint32_t>(second[-1]) << 5) ^ static_cast<uint32_t>(second[0])) & (kPairHashes - 1);
}

// Knows how much of a zero-terminated text is free of its terminator,
// looking one block further when asked about a byte beyond.
class TextReach {
 public:
  explicit TextReach(const unsigned char *text) : text_(text) {}
  // Whether index lies inside the text (before its terminator).
  bool Holds(size_t index) {
    while (index >= known_) {
      if (ended_) return false;
      const void *zero = std::memchr(text_ + known_, 0, kLengthBlock);
      if (zero != nullptr) {
        known_ = static_cast<size_t>(static_cast<const unsigned char *>(zero) - text_);
        ended_ = true;
      } else {
        known_ += kLengthBlock;
      }
    }
    return true;
  }
  // The last index of the text known so far, at least index (Holds(index)).
  size_t Known() const { return known_; }

 private:
  const unsigned char *text_;
  size_t known_ = 0;
  bool ended_ = false;
};

uint32_t Position(size_t at) { return at + 1 > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(at + 1); }
}  // namespace

uint32_t FindFast(const char *text, const char *pattern) {
  if (text == nullptr || pattern == nullptr) return 0;
  const size_t n = std::strlen(pattern);
  if (n == 0) return 1;
  const unsigned char *t = reinterpret_cast<const unsigned char *>(text);
  const unsigned char *p = reinterpret_cast<const unsigned char *>(pattern);
  if (n < 3) {
    // Too short for pairs: the first byte by memchr, then the second.
    const char *found = std::strchr(text, pattern[0]);
    while (found != nullptr) {
      if (n == 1 || found[1] == pattern[1]) return Position(static_cast<size_t>(found - text));
      found = std::strchr(found + 1, pattern[0]);
    }
    return 0;
  }
  const size_t last = n - 1;
  uint32_t place[kPairHashes] = {};
  for (size_t i = 1; i < last; ++i) place[PairHash(p + i)] = static_cast<uint32_t>(i < 0xFFFFFFFFu ? i : 0xFFFFFFFFu);
  // The move after a candidate whose last pair hashes like the pattern's:
  // to the previous place of that hash.
  const uint32_t lastHash = PairHash(p + last);
  const size_t afterCandidate = last - place[lastHash];
  place[lastHash] = static_cast<uint32_t>(last < 0xFFFFFFFFu ? last : 0xFFFFFFFFu);

  TextReach reach(t);
  size_t at = 0;  // the window's first byte
  for (;;) {
    // The window's last byte must lie inside the text; check the reach
    // once per block rather than once per move.
    if (at + last >= reach.Known() && !reach.Holds(at + last)) return 0;
    const size_t limit = reach.Known() - last;  // windows that fit the known part
    // The common move, a pair found nowhere in the pattern, does not depend
    // on the loaded byte values, so the loads of successive windows overlap.
    const unsigned char *w = t + at + last;  // the window's last byte
    const unsigned char *stop = t + limit + last;
    uint32_t where = 0;
    while (w < stop) {
      where = place[PairHash(w)];
      if (where == 0) {
        w += last;
      } else if (where < last) {
        w += last - where;
      } else {
        break;
      }
    }
    at = static_cast<size_t>(w - t) - last;
    if (at >= limit) continue;
    if (std::memcmp(t + at, p, last) == 0) return Position(at);
    at += afterCandidate;
  }
}
