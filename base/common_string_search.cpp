// common_string_search.cpp - CCommonString searching, counting, replacing
// and position conversion.
#include <cctype>
#include <cstring>

#include "base/code_page.h"
#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "base/mem.h"

using common_string::EndsInLead;
using common_string::IsSpace;
using common_string::NoStorage;
using common_string::SkipChars;

namespace {
// First occurrence of the n bytes of needle (n >= 1) in the size bytes of
// hay, or null.  memchr finds the candidates for the first byte, which is
// what the runtime's own string search does.
const char *FindBytes(const char *hay, size_t size, const char *needle, size_t n) {
  if (size < n) return nullptr;
  const char first = needle[0];
  if (n == 1) return static_cast<const char *>(std::memchr(hay, first, size));
  const char *p = hay;
  const char *last = hay + (size - n);  // the last place an occurrence can start
  while (p <= last) {
    p = static_cast<const char *>(std::memchr(p, first, static_cast<size_t>(last - p) + 1));
    if (p == nullptr) return nullptr;
    // The last byte first: a cheap filter before the call.
    if (p[n - 1] == needle[n - 1] && std::memcmp(p + 1, needle + 1, n - 2) == 0) return p;
    ++p;
  }
  return nullptr;
}

// The same with both sides upper-cased byte by byte.
const char *FindBytesUpper(const char *hay, size_t size, const char *needle, size_t n,
                           const unsigned char *upper) {
  if (size < n) return nullptr;
  const unsigned char *h = reinterpret_cast<const unsigned char *>(hay);
  const unsigned char *s = reinterpret_cast<const unsigned char *>(needle);
  for (size_t i = 0; i + n <= size; ++i) {
    size_t k = 0;
    while (k < n && upper[h[i + k]] == upper[s[k]]) ++k;
    if (k == n) return hay + i;
  }
  return nullptr;
}

// The longer in-place Replace threads a list through the occurrences it
// counts: every occurrence but the first holds, in its own first bytes
// (they are replaced anyway), the distance back to the one before it.  The
// rewrite then runs from the back, moving every byte once, without
// searching again.  Distances that do not fit the bytes an occurrence has
// go to a small side table.
class OccurrenceChain {
 public:
  OccurrenceChain(char *text, const char *find, uint32_t n)
      : text_(text), find_(find), width_(n < 4 ? n : 4) {}

  // Links the occurrence at offset at to the previous one; false when the
  // side table is full (the chain is then undone).
  bool Link(uint32_t at) {
    if (count_ > 0) {
      const uint32_t distance = at - last_;
      const bool fits = width_ == 4 || distance < (1u << (8 * width_));
      if (!fits) {
        if (far_ == kFar) {
          Undo();
          return false;
        }
        farLinks_[far_++] = last_;
      }
      Put(at, fits ? distance : 0);  // 0 is no distance: it sends to the side table
    }
    last_ = at;
    ++count_;
    return true;
  }

  uint32_t Count() const { return count_; }
  uint32_t Last() const { return last_; }
  // The text has moved (its storage was resized).
  void Rebase(char *text) { text_ = text; }

  // The occurrence before the one at offset at, which holds its link.
  uint32_t Previous(uint32_t at) {
    const uint32_t distance = Get(at);
    return distance != 0 ? at - distance : farLinks_[--far_];
  }

  // Puts the pattern's bytes back into every linked occurrence.
  void Undo() {
    uint32_t at = last_;
    for (uint32_t k = count_; k > 1; --k) {
      const uint32_t previous = Previous(at);
      std::memcpy(text_ + at, find_, width_);
      at = previous;
    }
    count_ = 0;
  }

 private:
  static constexpr uint32_t kFar = 512;

  void Put(uint32_t at, uint32_t value) {
    for (uint32_t i = 0; i < width_; ++i) text_[at + i] = static_cast<char>(value >> (8 * i));
  }
  uint32_t Get(uint32_t at) const {
    uint32_t value = 0;
    for (uint32_t i = 0; i < width_; ++i)
      value |= static_cast<uint32_t>(static_cast<unsigned char>(text_[at + i])) << (8 * i);
    return value;
  }

  char *text_;
  const char *find_;
  uint32_t width_;           // bytes of an occurrence that hold its link
  uint32_t count_ = 0;       // occurrences linked
  uint32_t last_ = 0;        // offset of the last one
  uint32_t far_ = 0;         // entries of farLinks_ in use
  uint32_t farLinks_[kFar];  // predecessors too far away for an occurrence's link
};

// Rewrites text (length bytes, storage already large enough) so that the
// chained occurrences become replacement (m > n), from the back: each byte
// moves once.  The write position stays (m - n) bytes per occurrence still
// ahead behind the read position, so nothing unread is overwritten; an
// occurrence's link is read before its replacement is written.
void RewriteBackward(char *text, uint32_t length, OccurrenceChain &chain, uint32_t n,
                     const char *replacement, uint32_t m) {
  const uint32_t count = chain.Count();
  uint32_t at = chain.Last();
  uint32_t r = at + n;                 // bytes before it are still in place
  uint32_t w = r + (m - n) * count;    // bytes from it on are final
  std::memmove(text + w, text + r, length - r);
  for (uint32_t k = count; k > 0; --k) {
    const uint32_t kept = r - (at + n);
    w -= kept;
    std::memmove(text + w, text + at + n, kept);
    const uint32_t previous = k > 1 ? chain.Previous(at) : 0;
    w -= m;
    std::memcpy(text + w, replacement, m);
    r = at;
    at = previous;
  }
}

// The same front to back for patterns whose occurrences may overlap: moves
// the tail to the end of the final text first, then rewrites it forward.
void RewriteForward(char *text, uint32_t length, uint32_t from, const char *find, uint32_t n,
                    const char *replacement, uint32_t m, uint32_t count) {
  const uint32_t shift = (m - n) * count;
  const uint32_t newLength = length + shift;
  std::memmove(text + from + shift, text + from, length - from);
  // The write position trails the read position by (m - n) per occurrence
  // still ahead, so a replacement only overwrites bytes already consumed.
  uint32_t r = from + shift;
  uint32_t w = from;
  for (uint32_t done = 0; done < count; ++done) {
    const char *hit = FindBytes(text + r, newLength - r, find, n);
    const uint32_t gap = static_cast<uint32_t>(hit - (text + r));
    std::memmove(text + w, text + r, gap);
    std::memcpy(text + w + gap, replacement, m);
    w += gap + m;
    r += gap + n;
  }
}

// A character-walk occurrence test at text + i (end: the text's reach).
inline bool MatchesAt(const char *text, uint32_t i, uint32_t end, const char *pattern, uint32_t n,
                      bool endsInLead) {
  return n <= end - i && text[i] == pattern[0] && std::memcmp(text + i, pattern, n) == 0 &&
         (!endsInLead || text[i + n] == '\0');
}

// Byte offset and 1-based position of character position start (0 counts
// as 1).  False when the text has fewer than start - 1 characters.
bool SeekChar(const uint8_t *leads, const char *text, uint32_t end, uint32_t start,
              uint32_t *offset, uint32_t *position) {
  if (start == 0) start = 1;
  uint32_t walked = 0;
  *offset = SkipChars(leads, text, end, start - 1, &walked);
  *position = walked + 1;
  return walked == start - 1;
}

// Walks the characters of text[0, end) from character position start and
// counts the occurrences of the n bytes of pattern (overlapping ones
// included), up to the nth; *position (when given) receives the 1-based
// character position of the last one counted.  Returns the count.
uint32_t CountOccurrences(const char *text, uint32_t end, uint32_t start, const char *pattern,
                          uint32_t n, uint32_t nth, uint32_t *position) {
  const uint8_t *leads = SalLeadByteTable();
  uint32_t i = 0;
  uint32_t at = 0;
  if (!SeekChar(leads, text, end, start, &i, &at)) return 0;
  const bool endsInLead = EndsInLead(leads, pattern, n);
  uint32_t found = 0;
  for (; i < end && found < nth; i += SalCharLength(leads, text + i), ++at) {
    if (MatchesAt(text, i, end, pattern, n, endsInLead)) {
      ++found;
      if (position != nullptr) *position = at;
    }
  }
  return found;
}

// 1-based character position of the first character at or after character
// position start that is white space (space true) or is not; 0 if none.  A
// lead byte is never white space.
uint32_t FindSpaceOrNot(const char *text, uint32_t end, uint32_t start, bool space) {
  const uint8_t *leads = SalLeadByteTable();
  uint32_t i = 0;
  uint32_t position = 0;
  if (!SeekChar(leads, text, end, start, &i, &position)) return 0;
  for (; i < end; i += SalCharLength(leads, text + i), ++position)
    if (IsSpace(text[i]) == space) return position;
  return 0;
}
}  // namespace

uint32_t CCommonString::FindNth(const char *bytes, uint32_t n, uint32_t start, uint32_t nth,
                                bool caseSensitive) const {
  if (bytes == nullptr || n == 0 || nth == 0 || length_ < n) return 0;
  if (start == 0) start = 1;
  if (start > length_) return 0;
  unsigned char upper[256];
  if (!caseSensitive)
    for (int c = 0; c < 256; ++c) upper[c] = static_cast<unsigned char>(std::toupper(c));
  size_t from = start - 1;
  for (uint32_t found = 0;;) {
    const char *hit = caseSensitive
                          ? FindBytes(buffer_ + from, length_ - from, bytes, n)
                          : FindBytesUpper(buffer_ + from, length_ - from, bytes, n, upper);
    if (hit == nullptr) return 0;
    const size_t at = static_cast<size_t>(hit - buffer_);
    if (++found == nth) return static_cast<uint32_t>(at + 1);
    from = at + n;
  }
}

uint32_t CCommonString::FindNthOfSet(const char *set, uint32_t n, uint32_t start, uint32_t nth,
                                     bool inSet) const {
  if (nth == 0) return 0;
  if (start == 0) start = 1;
  bool member[256] = {};
  if (set != nullptr)
    for (uint32_t i = 0; i < n; ++i) member[static_cast<unsigned char>(set[i])] = true;
  uint32_t found = 0;
  for (uint32_t i = start - 1; i < length_; ++i) {
    if (member[static_cast<unsigned char>(buffer_[i])] == inSet && ++found == nth) return i + 1;
  }
  return 0;
}

uint32_t CCommonString::FindNthChars(const char *text, uint32_t n, uint32_t start,
                                     uint32_t nth) const {
  if (text == nullptr || n == 0 || nth == 0) return 0;
  uint32_t position = 0;
  return CountOccurrences(CStr(), TextLength(), start, text, n, nth, &position) == nth ? position : 0;
}

uint32_t CCommonString::CountChars(const char *text, uint32_t n, uint32_t start) const {
  if (text == nullptr || n == 0) return 0;
  return CountOccurrences(CStr(), TextLength(), start, text, n, kAll, nullptr);
}

uint32_t CCommonString::Count(const char *bytes, uint32_t n, uint32_t start) const {
  if (bytes == nullptr || n == 0) return 0;
  if (start == 0) start = 1;
  if (start > length_) return 0;
  uint32_t found = 0;
  for (size_t from = start - 1;; ++found) {
    const char *hit = FindBytes(buffer_ + from, length_ - from, bytes, n);
    if (hit == nullptr) return found;
    from = static_cast<size_t>(hit - buffer_) + n;
  }
}

uint32_t CCommonString::ReplaceChars(const char *find, uint32_t n, const char *replacement,
                                     uint32_t m, uint32_t start, uint32_t maxCount) {
  if (length_ == 0 || find == nullptr || replacement == nullptr || n == 0 || start == 0 ||
      maxCount == 0)
    return 0;
  const uint8_t *leads = SalLeadByteTable();
  const char *s = buffer_;
  const uint32_t end = TextLength();
  uint32_t begin = 0;
  uint32_t position = 0;
  if (!SeekChar(leads, s, end, start, &begin, &position)) return 0;
  const bool endsInLead = EndsInLead(leads, find, n);

  // First pass: how many, so that the new storage has exactly its size.
  uint32_t count = 0;
  for (uint32_t i = begin; i < end && count < maxCount;) {
    if (MatchesAt(s, i, end, find, n, endsInLead)) {
      ++count;
      i += n;
    } else {
      i += SalCharLength(leads, s + i);
    }
  }
  if (count == 0) return 0;
  const uint64_t newLength =
      static_cast<uint64_t>(length_) - static_cast<uint64_t>(n) * count + static_cast<uint64_t>(m) * count;
  if (newLength >= 0xFFFFFFFFu) return NoStorage();
  void *p = nullptr;
  if (!MemRealloc(&p, static_cast<size_t>(newLength) + 1)) return NoStorage();

  // Second pass: the same walk, copying into the new storage.  The old
  // storage stays intact until the end, so find and replacement may lie in it.
  char *out = static_cast<char *>(p);
  std::memcpy(out, s, begin);
  char *w = out + begin;
  uint32_t run = begin;  // start of the bytes not yet copied
  uint32_t done = 0;
  for (uint32_t i = begin; done < count;) {
    if (MatchesAt(s, i, end, find, n, endsInLead)) {
      std::memcpy(w, s + run, i - run);
      w += i - run;
      std::memcpy(w, replacement, m);
      w += m;
      i += n;
      run = i;
      ++done;
    } else {
      i += SalCharLength(leads, s + i);
    }
  }
  // The rest, bytes behind a zero byte included.
  std::memcpy(w, s + run, length_ - run);
  Adopt(out, static_cast<uint32_t>(newLength), static_cast<uint32_t>(newLength) + 1u);
  return count;
}

uint32_t CCommonString::Replace(const char *find, uint32_t n, const char *replacement, uint32_t m,
                                uint32_t start, uint32_t maxCount) {
  if (length_ == 0 || find == nullptr || replacement == nullptr || n == 0 || start == 0 ||
      maxCount == 0 || start > length_)
    return 0;
  if (Owns(find, n) || Owns(replacement, m)) return 0;
  const uint32_t from = start - 1;

  if (m <= n || (find == replacement && n == m)) {
    // Not longer: rewrite in place, writing behind the read position.  The
    // same bytes for both only count.
    const bool same = find == replacement && n == m;
    uint32_t r = from;
    uint32_t w = from;
    uint32_t done = 0;
    for (; done < maxCount; ++done) {
      const char *hit = FindBytes(buffer_ + r, length_ - r, find, n);
      if (hit == nullptr) break;
      const uint32_t gap = static_cast<uint32_t>(hit - (buffer_ + r));
      if (!same) {
        std::memmove(buffer_ + w, buffer_ + r, gap);
        std::memcpy(buffer_ + w + gap, replacement, m);
      }
      w += gap + m;
      r += gap + n;
    }
    if (done == 0 || same) return done;
    std::memmove(buffer_ + w, buffer_ + r, length_ - r);
    length_ = w + (length_ - r);
    buffer_[length_] = '\0';
    return done;
  }

  // Longer.  Count first, so that the storage grows once, to the final
  // size, chaining the occurrences for the rewrite from the back.
  OccurrenceChain chain(buffer_, find, n);
  bool chained = true;
  uint32_t count = 0;
  for (uint32_t r = from; count < maxCount; ++count) {
    const char *hit = FindBytes(buffer_ + r, length_ - r, find, n);
    if (hit == nullptr) break;
    const uint32_t at = static_cast<uint32_t>(hit - buffer_);
    if (chained) chained = chain.Link(at);
    r = at + n;
  }
  if (count == 0) return 0;
  const uint64_t newLength = length_ + static_cast<uint64_t>(m - n) * count;
  const bool fits = newLength < 0xFFFFFFFFu;
  if (!fits || (newLength + 1 > capacity_ && !Resize(static_cast<uint32_t>(newLength) + 1u))) {
    if (chained) chain.Undo();  // the text as it was
    return fits ? 0 : NoStorage();
  }
  if (chained) {
    chain.Rebase(buffer_);
    RewriteBackward(buffer_, length_, chain, n, replacement, m);
  } else {
    // Too many far links: the front-to-back rewrite, searching again.
    RewriteForward(buffer_, length_, from, find, n, replacement, m, count);
  }
  length_ = static_cast<uint32_t>(newLength);
  buffer_[length_] = '\0';
  return count;
}

uint32_t CCommonString::ReplaceByte(char from, char to, uint32_t start, uint32_t maxCount) {
  if (start == 0) start = 1;
  uint32_t done = 0;
  for (uint32_t i = start - 1; i < length_ && done < maxCount; ++i) {
    const void *hit = std::memchr(buffer_ + i, from, length_ - i);
    if (hit == nullptr) break;
    i = static_cast<uint32_t>(static_cast<const char *>(hit) - buffer_);
    buffer_[i] = to;
    ++done;
  }
  return done;
}

uint32_t CCommonString::FindSpace(uint32_t start) const {
  return FindSpaceOrNot(CStr(), TextLength(), start, true);
}

uint32_t CCommonString::FindNonSpace(uint32_t start) const {
  return FindSpaceOrNot(CStr(), TextLength(), start, false);
}

uint32_t CCommonString::CharToBytePosition(uint32_t position) const {
  if (position == 0) return 0;
  if (buffer_ == nullptr) return 1;
  return SkipChars(SalLeadByteTable(), buffer_, TextLength(), position - 1) + 1;
}

uint32_t CCommonString::ByteToCharPosition(uint32_t position) const {
  if (position == 0) return 0;
  if (buffer_ == nullptr) return 1;
  const uint8_t *leads = SalLeadByteTable();
  const uint32_t end = TextLength();
  const uint32_t target = position - 1;
  uint32_t chars = 1;
  for (uint32_t i = 0; i < end; ++chars) {
    const uint32_t len = SalCharLength(leads, buffer_ + i);
    if (i + len > target) break;
    i += len;
  }
  return chars;
}
