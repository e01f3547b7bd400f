// common_string.h - CCommonString, the common library's 8-bit string object,
// and CCommonStringList, the list that Split and Join work with.
//
// Two flavours of operations.  Byte operations work on the stored length,
// compare bytes exactly and carry any bytes, zero bytes included.
// Character operations (the ones named ...Chars, and those documented as a
// character walk) step over double-byte characters of the process's ANSI
// code page -- a lead byte followed by a non-zero byte is one character --
// and stop at the first zero byte; bytes behind such a zero byte are kept
// unchanged by the editing ones.  Positions are 1-based with 0 meaning
// "none" unless an operation says otherwise.
//
// When storage cannot be obtained an operation changes nothing (or leaves
// the string empty where it says so), returns 0 where it has a result and
// sets the thread's last-error value to 0xE00303EB.
#ifndef COMMON_COMMON_STRING_H
#define COMMON_COMMON_STRING_H

#include <cstdarg>
#include <cstdint>
#include <iosfwd>

#include "base/sal_config.h"

/// How appends grow the storage of one string (see SetGrowth).
struct CCommonStringGrowth {
  uint32_t inherit;    // nonzero: copies of the string take the record along
  uint32_t threshold;  // sizes below it are allocated exactly
  uint32_t percent;    // proportional headroom from the threshold on
  uint32_t increment;  // fixed headroom from the threshold on
};

class CCommonString;
class CCommonStringList;

/// A reference to one byte of a string that can change its case alone.
class CCommonStringCharRef {
 public:
  CCommonStringCharRef(CCommonString &string, uint32_t index) : string_(string), index_(index) {}
  /// The byte, 0 when the index is not below the string's length.
  operator char() const;
  /// Stores byte; nothing when the index is not below the length.
  CCommonStringCharRef &operator=(char byte);
  /// Upper- / lower-cases this byte as a single-byte character, whatever
  /// follows it.
  void MakeUpper();
  void MakeLower();

 private:
  CCommonString &string_;
  uint32_t index_;
};

class CCommonString {
 public:
  static constexpr uint32_t kAll = 0xFFFFFFFFu;  // "no limit" for counts and sizes

  // ---- construction, assignment and storage ------------------------------

  /// Empty, without storage.
  CCommonString() = default;
  /// A copy of the zero-terminated text (null: empty, without storage).
  explicit CCommonString(const char *text);
  /// A copy of n bytes.
  CCommonString(const char *bytes, uint32_t n);
  /// A copy of other's bytes; also of its growth record when that record's
  /// inherit field is nonzero.
  CCommonString(const CCommonString &other);
  /// Takes other's storage and growth record; other is left empty.
  CCommonString(CCommonString &&other) noexcept;
  /// Assigns other's bytes; this string's growth record stays.
  CCommonString &operator=(const CCommonString &other);
  /// Exchanges storage with other (growth records included).
  CCommonString &operator=(CCommonString &&other) noexcept;
  ~CCommonString();

  /// Makes this string hold n bytes copied from bytes, which may lie inside
  /// the string's own storage.  Null bytes empties the string (storage
  /// freed).  Returns 1, or 0 when storage was not obtained (unchanged).
  int Assign(const char *bytes, uint32_t n);
  /// Assign(text, its length); null text frees the storage.
  int Assign(const char *text);
  int Assign(const CCommonString &other) { return Assign(other.buffer_, other.length_); }
  /// Assigns the first count characters of text (fewer if it ends first).
  int AssignChars(const char *text, uint32_t count);

  /// Frees the storage; length 0.  The growth record stays.
  void Empty();
  /// Length 0 with the terminator at 0; the storage stays.
  void Clear();
  /// Exchanges length, buffer and capacity with other; the growth records
  /// stay where they are.
  void Swap(CCommonString &other);

  /// Gives the storage room for at least n bytes of text (capacity n + 1).
  /// A capacity above max + 1 is reduced to max + 1 (max kAll never
  /// reduces); with n >= max the capacity becomes exactly n + 1.  The text
  /// is cut to capacity - 1 bytes if needed.  Returns 1, or 0 when storage
  /// was not obtained (unchanged).
  int Reserve(uint32_t n, uint32_t max = kAll);
  /// With minimum > 0: Reserve(minimum - 1) and returns the writable
  /// storage (GetCapacity bytes).  With 0: zeroes the storage's last byte
  /// and returns it.  Null without storage.
  char *GetBuffer(uint32_t minimum);
  /// After direct writes: newLength becomes the length (kAll, or any value
  /// not below the capacity: the length of the zero-terminated text, the
  /// storage's last byte being zeroed first), and the terminator is
  /// written.  Nothing without storage.
  void ReleaseBuffer(uint32_t newLength = kAll);
  /// Empties the string, then adopts storage of capacity bytes holding
  /// length bytes of text.  The storage must come from the runtime
  /// library's malloc, calloc or realloc; the string frees it.  A length
  /// not below capacity is cut to capacity - 1.  Null storage only empties;
  /// capacity 0 refuses the storage (the caller keeps it) and returns 0.
  int Attach(char *storage, uint32_t capacity, uint32_t length);
  /// Attach(text, its length + 1, its length).
  int Attach(char *text);
  /// Creates or overwrites the growth record used by the appends.  Returns
  /// 0 when the record could not be created.
  int SetGrowth(uint32_t percent, uint32_t increment, uint32_t threshold, uint32_t inherit);
  /// The growth record, or null.
  const CCommonStringGrowth *GetGrowth() const { return growth_; }

  uint32_t GetLength() const { return length_; }
  uint32_t GetCapacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  /// True when the string owns storage (a string without storage reads "").
  bool HasStorage() const { return buffer_ != nullptr; }
  /// The text; "" when there is no storage.
  const char *CStr() const { return buffer_ != nullptr ? buffer_ : ""; }
  /// The byte at a 0-based index; 0 when the index is not below the length.
  char CharAt(uint32_t index) const { return index < length_ ? buffer_[index] : '\0'; }
  /// A reference to the byte at a 0-based index (see CCommonStringCharRef).
  CCommonStringCharRef At(uint32_t index) { return CCommonStringCharRef(*this, index); }
  /// Number of characters before the first zero byte.
  uint32_t CharCount() const;

  // ---- appending and editing ---------------------------------------------
  // Appends grow the storage by the growth rule; they return 1, or 0 when
  // storage was not obtained (unchanged).  Their source may lie inside the
  // string's own storage.

  int AppendChar(char byte) {
    if (capacity_ - length_ >= 2u) {  // also false without storage (both 0)
      buffer_[length_] = byte;
      buffer_[++length_] = '\0';
      return 1;
    }
    return AppendCharGrowing(byte);
  }
  /// Nothing for null bytes or n 0.
  int Append(const char *bytes, uint32_t n);
  int Append(const char *text);
  int Append(const CCommonString &other) { return Append(other.buffer_, other.length_); }
  /// Append for operations that build a text piece by piece: without a
  /// growth record the storage grows by 50 percent + 256 bytes instead of
  /// to the exact size, so that a run of such appends moves every byte a
  /// bounded number of times.  A growth record, when the string has one,
  /// rules as for Append.
  int AppendPiece(const char *bytes, uint32_t n);

  /// Replaces replaceCount bytes from 1-based position with n bytes; a
  /// position beyond the end appends.  Nothing (result 0) for position 0,
  /// null bytes with n > 0, or bytes inside the string's own storage.
  int Splice(const char *bytes, uint32_t n, uint32_t position, uint32_t replaceCount);
  /// The same in characters: keeps the first position - 1 characters,
  /// inserts n bytes of text, skips deleteCount characters, keeps the rest.
  /// Nothing (result 0) for null text, n 0, position 0, or text inside the
  /// string's own storage.
  int SpliceChars(const char *text, uint32_t n, uint32_t position, uint32_t deleteCount);
  /// Removes count bytes from 1-based position; when fewer follow, the
  /// string is cut at position - 1.  Nothing for position 0, count 0, a
  /// position beyond the length or an empty string.
  void Delete(uint32_t position, uint32_t count);
  /// Removes count bytes at the start / end (all of them when count >= length).
  void DeleteLeft(uint32_t count);
  void DeleteRight(uint32_t count);
  /// Removes the last byte when the string is not empty.
  void DeleteLastChar();
  /// Removes the character at a 0-based character index; 0 when the index
  /// is not below CharCount, else 1.
  int DeleteCharAt(uint32_t index);
  /// The same with a 1-based character position; 0 answers 0.
  int DeleteCharAtPosition(uint32_t position);
  /// Width >= length: inserts width - length fill bytes at the front.
  /// Width < length: cuts the string to width bytes.  A zero fill byte
  /// does nothing.
  int PadLeft(char fill, uint32_t width);
  /// Appends fill bytes up to the smallest multiple of width that is at
  /// least length + 2.  Nothing for width 0.
  int PadToMultiple(uint32_t width, char fill);

  /// Replaces the contents with the printf-style formatted text, built in
  /// fresh storage (so the string's own text may be an argument).  On a
  /// formatting failure (null format, an encoding error) the string is
  /// emptied and the result is 0; when storage is not obtained the string
  /// is unchanged and the result is 0; else 1.
  int Format(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  int FormatV(const char *format, va_list args);

  /// Replaces the contents with header, LF, then for every line of text (at
  /// most maxLines when maxLines >= 0) prefix followed by the line with its
  /// own line end, then LF and footer.  Null texts count as "".  Gives the
  /// string the growth record 25 percent + 256 from 1024 bytes, not
  /// inherited.  Returns 1, or 0 when storage was not obtained (unchanged).
  int MakeBlock(const char *text, const char *header, const char *footer, const char *prefix,
                int32_t maxLines);

  // ---- comparison (negative, zero, positive) -------------------------------

  /// Byte-wise against a zero-terminated text.  A string without storage is
  /// less than any non-null text (also ""), equal to null; a string with
  /// storage is greater than null.
  int Compare(const char *text) const;
  /// As Compare, but a string without storage equals "" and null.
  int CompareEmptyEqual(const char *text) const;
  /// Case-insensitive forms: single-byte characters compare after the
  /// runtime library's lower-casing, double-byte characters byte for byte.
  int CompareNoCase(const char *text) const;
  int CompareNoCaseEmptyEqual(const char *text) const;
  /// The shorter of the two lengths is the lesser; equal lengths compare
  /// bytes (zero bytes included).  Null bytes count as no bytes.
  int CompareBytes(const char *bytes, uint32_t n) const;
  /// 1 when both strings hold the same bytes (two empty strings are equal
  /// with or without storage), else 0.
  int Equals(const CCommonString &other) const;
  /// Compare / CompareNoCase with other's text; a string without storage
  /// stands for a null text, so two such strings are equal.
  int Compare(const CCommonString &other) const;
  int CompareNoCase(const CCommonString &other) const;
  /// 1 when the last CharCount(text) characters equal text ignoring case.
  /// A null text answers 1 only for a string without storage.
  int EndsWithNoCase(const char *text) const;

  // ---- searching, counting and replacing ---------------------------------

  /// 1-based byte position of the nth non-overlapping occurrence of n bytes
  /// at or after start (0 counts as 1); without caseSensitive both sides
  /// are upper-cased byte by byte.  0 when not found, for null bytes, n 0
  /// or nth 0, or when the string is shorter than n.
  uint32_t FindNth(const char *bytes, uint32_t n, uint32_t start, uint32_t nth,
                   bool caseSensitive) const;
  /// 1-based byte position of the nth byte at or after start (0 counts as
  /// 1) that is in the set of n bytes (inSet) or not in it (!inSet).  An
  /// empty set holds no byte.  0 when there is none.
  uint32_t FindNthOfSet(const char *set, uint32_t n, uint32_t start, uint32_t nth,
                        bool inSet) const;
  /// 1-based character position of the nth occurrence of the n bytes of
  /// text at or after character position start (0 counts as 1); the scan
  /// moves one character after every position, so overlapping occurrences
  /// count.  An occurrence starts and ends on character boundaries.
  uint32_t FindNthChars(const char *text, uint32_t n, uint32_t start, uint32_t nth) const;
  /// Number of occurrences (overlapping ones included) from character
  /// position start.
  uint32_t CountChars(const char *text, uint32_t n, uint32_t start) const;
  /// Number of non-overlapping occurrences from byte position start.
  uint32_t Count(const char *bytes, uint32_t n, uint32_t start) const;
  /// Replaces up to maxCount (kAll: all) non-overlapping occurrences of the
  /// n bytes of find by the m bytes of replacement, scanning characters
  /// from character position start, left to right; inserted text is never
  /// searched again.  Builds fresh storage of exactly the resulting size.
  /// Returns the number of replacements; 0 and no change for an empty
  /// string, null find or replacement, n 0, start 0 or maxCount 0.
  uint32_t ReplaceChars(const char *find, uint32_t n, const char *replacement, uint32_t m,
                        uint32_t start, uint32_t maxCount);
  /// The byte twin, done in place with at most one allocation (when the
  /// replacement is longer).  start is a byte position.  When find and
  /// replacement are the same bytes (same address and length) the number
  /// of occurrences (at most maxCount) is returned without change.  find
  /// and replacement must not lie inside the string's own storage: then 0
  /// and no change.
  uint32_t Replace(const char *find, uint32_t n, const char *replacement, uint32_t m,
                   uint32_t start, uint32_t maxCount);
  /// Replaces the first maxCount occurrences of byte from by to, from byte
  /// position start (0 counts as 1); returns how many were replaced.
  uint32_t ReplaceByte(char from, char to, uint32_t start, uint32_t maxCount);
  /// 1-based character position of the first character at or after start
  /// (0 counts as 1) that is (is not) one of space, HT, LF, CR; 0 if none.
  uint32_t FindSpace(uint32_t start) const;
  uint32_t FindNonSpace(uint32_t start) const;
  /// Converts between 1-based character and byte positions.  0 answers 0;
  /// a string without storage answers 1.  Positions past the text answer
  /// the position just behind it.  A byte position inside a double-byte
  /// character answers that character's position.
  uint32_t CharToBytePosition(uint32_t position) const;
  uint32_t ByteToCharPosition(uint32_t position) const;

  // ---- substrings (empty for a string without storage or a count of 0) ----

  CCommonString Left(uint32_t count) const;
  CCommonString Right(uint32_t count) const;
  /// count bytes from 1-based position (0 counts as 1), cut at the end.
  CCommonString Mid(uint32_t position, uint32_t count) const;
  CCommonString LeftChars(uint32_t count) const;
  CCommonString RightChars(uint32_t count) const;
  CCommonString MidChars(uint32_t position, uint32_t count) const;

  // ---- trimming and case ---------------------------------------------------

  /// Remove space, HT, LF and CR characters at the start / end.
  void TrimLeft();
  void TrimRight();
  /// Convert every single-byte character with the runtime library's case
  /// conversion; double-byte characters stay unchanged.
  void MakeUpper();
  void MakeLower();

  // ---- numbers to text (appending; a null format takes the default) --------

  int AppendUInt(uint32_t value, const char *format = nullptr);      // "%u"
  int AppendInt(int32_t value, const char *format = nullptr);        // "%d"
  int AppendUInt64(uint64_t value, const char *format = nullptr);    // "%llu"
  int AppendInt64(int64_t value, const char *format = nullptr);      // "%lld"
  int AppendDouble(double value, const char *format = nullptr);      // "%f"

  // ---- text to numbers --------------------------------------------------------
  // The text is read as the runtime library's formatted scan reads it:
  // leading white space, an optional sign, then digits; text that does not
  // start like a number gives 0.  "%i" rules (AsShort, AsInt): a leading 0x
  // reads hexadecimal and a leading 0 octal.  A value outside the target's
  // range is read as a 64-bit number (saturating) and reduced to the
  // target's width, as the 64-bit runtimes do.

  char AsChar() const { return CStr()[0]; }                       // first character
  signed char AsSChar() const { return static_cast<signed char>(CStr()[0]); }
  uint16_t AsUShort() const;  // "%hu"
  int16_t AsShort() const;    // "%hi"
  uint32_t AsUInt() const;    // "%u"
  int32_t AsInt() const;      // "%i"
  int64_t AsInt64() const;    // decimal, saturating
  uint64_t AsUInt64() const;  // decimal, saturating; a minus sign wraps
  float AsFloat() const;      // "%f"
  double AsDouble() const;    // "%lf"

  // ---- path separators (nothing for an empty string) ---------------------------
  // A final separator is a final single-byte character: the trail byte of a
  // double-byte character is never taken for one.

  /// Appends a backslash when the last character is neither a backslash nor
  /// a slash.
  int AddBackslash();
  /// Appends the platform's separator when the last character is not it.
  int AddSeparator();
  /// Removes a final platform separator.
  void RemoveSeparator();
  /// When the last character is not the platform separator: a final slash
  /// or backslash becomes the separator, otherwise one is appended.
  int EnsureSeparator();
  /// Removes a final slash or backslash.
  void RemoveAnySeparator();
  /// Turns every slash and backslash character into the platform
  /// separator, then EnsureSeparator when trailing, else RemoveAnySeparator.
  int NormalizeSeparators(bool trailing);

  // ---- lists ---------------------------------------------------------------------

  /// Clears list and appends each token: the maximal runs of bytes not in
  /// the zero-terminated delimiter set (no empty tokens).  Returns list.
  CCommonStringList &Split(CCommonStringList &list, const char *delimiters) const;
  /// Replaces the contents with list's elements from index skip on, at most
  /// count of them (negative: all), separated by separator.  Returns 1, or
  /// 0 when storage was not obtained (unchanged).
  int Join(const CCommonStringList &list, const char *separator, uint32_t skip, int32_t count);

  // ---- encodings, escaping and hex text -------------------------------------
  // (base64.h, percent_encoding.h, escape.h, hex_text.cpp, printable.h)
  // The encoding forms act on the string's own contents: they return 1 and
  // change nothing for an empty string; otherwise they convert into a
  // temporary and replace the contents only on success, so a failed
  // conversion leaves the string unchanged (result 0, with the last-error
  // value of the failing encoder).

  /// Base64 of all bytes (zero bytes included), without line breaks.
  int Base64Encode();
  /// Decodes the text up to the first zero byte; the result keeps zero bytes.
  int Base64Decode();
  /// Percent encodings of the text up to the first zero byte.
  int FormUrlEncode();
  int PercentEncode();
  /// Percent decodings; the length becomes that of the decoded text up to
  /// its first zero byte (so an escaped zero byte ends it).
  int FormUrlDecode();
  int PercentDecode();

  /// Escapes & < > " as &amp; &lt; &gt; &quot; and turns CR LF, LF and CR
  /// each into <br>, walking characters (a double-byte character is one
  /// unit) up to the first zero byte; the single quote stays.  Returns 1, or
  /// 0 when storage was not obtained (unchanged).
  int EscapeHtml();
  /// C-style escaping of all bytes (EscapeCText).  Returns 1 when the string
  /// changed, 0 when it is empty, needed no escaping, or storage was not
  /// obtained (unchanged, last-error 0xE00303EB).
  int EscapeC();
  /// The inverse (UnescapeCText).  Returns 1 when the string changed, 0 when
  /// it is empty, holds no backslash that changes anything, or storage was
  /// not obtained.
  int UnescapeC();

  /// Writes length bytes of data as two upper-case hexadecimal digits each,
  /// without separators; length kAll means data is zero-terminated text.
  /// With append 0 the string is cleared first.  Null data changes nothing
  /// and returns 0; otherwise returns 1, or 0 when storage was not obtained.
  int AppendHex(const void *data, uint32_t length, int append);
  /// Reads the zero-terminated hexadecimal text (either case) into bytes
  /// appended to the string, one byte from each one or two digits; a single
  /// digit before the end or a non-digit is a byte of its own.  With append
  /// 0 the string is cleared first.  A non-null prefix must open text
  /// (compared exactly when prefixCaseSensitive is nonzero, else ignoring
  /// ASCII case) and is skipped; a missing prefix returns 0.  Returns 1 when
  /// the whole text was read, 0 when it stopped at a byte that is not a
  /// hexadecimal digit (the bytes before it stay appended), for a null text,
  /// or when storage was not obtained.
  int AppendFromHex(const char *text, const char *prefix, int prefixCaseSensitive, int append);
  /// Replaces every byte (of all bytes) that is not IsPrintableChar with fill.
  void MaskNonPrintable(char fill);
  /// The same, but a lead byte of the ANSI code page and the byte after it
  /// stay unchanged.
  void MaskNonPrintableMbcs(char fill);

 private:
  friend class CCommonStringCharRef;

  int AppendCharGrowing(char byte);
  // Appends n bytes, growing the storage by rule (null: to the exact size).
  int AppendBytes(const char *bytes, uint32_t n, const CCommonStringGrowth *rule);
  // Makes room for needed bytes (text plus terminator) by rule: the growth
  // record, or exact sizes without one.
  bool GrowTo(uint64_t needed) { return GrowTo(needed, growth_); }
  bool GrowTo(uint64_t needed, const CCommonStringGrowth *rule);
  // Resizes the storage to exactly capacity bytes (capacity > length).
  bool Resize(uint32_t capacity);
  // Takes fresh storage holding length bytes plus terminator in capacity.
  void Adopt(char *storage, uint32_t length, uint32_t capacity);
  // Replaces removed bytes at offset at by n bytes from outside the storage.
  int ReplaceRange(uint32_t at, uint32_t removed, const char *bytes, uint32_t n);
  // Whether any of the n bytes lies inside this string's storage.
  bool Owns(const char *bytes, uint32_t n) const;
  // Bytes before the first zero byte: the reach of the character walks.
  uint32_t TextLength() const;

  uint32_t length_ = 0;                   // bytes of text, terminator not counted
  char *buffer_ = nullptr;                // owned storage, or null for ""
  uint32_t capacity_ = 0;                 // storage bytes, terminator included
  CCommonStringGrowth *growth_ = nullptr; // owned growth record, or null
};

/// Writes the string's bytes.
std::ostream &operator<<(std::ostream &out, const CCommonString &string);

/// An ordered list of strings, each owning its own copy.
class CCommonStringList {
 public:
  CCommonStringList() = default;
  CCommonStringList(const CCommonStringList &) = delete;
  CCommonStringList &operator=(const CCommonStringList &) = delete;
  ~CCommonStringList();

  uint32_t GetCount() const { return count_; }
  /// The element at a 0-based index (the index must be below GetCount).
  const CCommonString &At(uint32_t index) const { return items_[index]; }
  CCommonString &At(uint32_t index) { return items_[index]; }
  /// Appends a copy of n bytes / of the text / of the string.  Returns 1,
  /// or 0 when storage was not obtained (list unchanged).
  int Add(const char *bytes, uint32_t n);
  int Add(const char *text);
  int Add(const CCommonString &string) { return Add(string.CStr(), string.GetLength()); }
  /// Removes every element.
  void Clear();

 private:
  bool Grow();

  CCommonString *items_ = nullptr;  // count_ constructed elements in capacity_ slots
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
};

#endif  // COMMON_COMMON_STRING_H
