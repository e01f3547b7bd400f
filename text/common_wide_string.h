// common_wide_string.h - CCommonWideString, the 16-bit twin of
// CCommonString, for UTF-16 text.
//
// Code units are char16_t.  Positions are 1-based with 0 meaning "none"
// unless an operation says 0-based.  There is no growth record: every resize
// allocates exactly the size asked for (in bytes; odd sizes are rounded up
// to whole units), and a resize to 0 frees the storage.  When storage
// cannot be obtained an operation leaves the string as it was, returns 0
// where it has a result, and sets the thread's last-error value to
// 0xE00303EB.
#ifndef COMMON_COMMON_WIDE_STRING_H
#define COMMON_COMMON_WIDE_STRING_H

#include <cstdarg>
#include <cstdint>

#include "base/common_string.h"
#include "base/sal_config.h"

class CCommonWideString {
 public:
  static constexpr uint32_t kAll = 0xFFFFFFFFu;

  // ---- construction, assignment and storage ------------------------------

  CCommonWideString() = default;
  /// A copy of the zero-terminated text (null: empty, without storage).
  explicit CCommonWideString(const char16_t *text);
  /// A copy of n units.
  CCommonWideString(const char16_t *units, uint32_t n);
  CCommonWideString(const CCommonWideString &other);
  CCommonWideString(CCommonWideString &&other) noexcept;
  CCommonWideString &operator=(const CCommonWideString &other);
  CCommonWideString &operator=(CCommonWideString &&other) noexcept;
  ~CCommonWideString();

  /// Makes the string hold n units copied from units, which may lie inside
  /// its own storage; resizes to 2n + 2 bytes when the capacity is smaller.
  /// Null units empties the string.  Returns 1, or 0 (unchanged) when
  /// storage was not obtained.
  int Assign(const char16_t *units, uint32_t n);
  /// Assign(text, its length); null empties.
  int Assign(const char16_t *text);
  /// Converts n bytes of ANSI text: resizes to 2n + 2 bytes when the
  /// capacity is not larger, converts and takes the converted length.  An
  /// empty or null text, or a failed conversion, empties the string (result
  /// 0 for a failed conversion).
  int Assign(const char *text, uint32_t n);

  /// Frees the storage; length 0.
  void Empty();
  /// Length 0, the storage stays.
  void Clear();
  /// Capacity becomes at least bytes.  Returns 1, or 0 when storage was not
  /// obtained.
  int Reserve(uint32_t bytes);
  /// Capacity becomes exactly bytes (rounded up to whole units); 0 frees the
  /// storage.  The text is cut to fit.  Returns 1, or 0 when storage was not
  /// obtained.
  int Resize(uint32_t bytes);
  /// With bytes > 0: Reserve(bytes) and the writable storage.  With 0: zeroes
  /// the storage's last unit and returns the storage.  Null without storage.
  char16_t *GetBuffer(uint32_t bytes);
  /// After direct writes: the length becomes newLengthInBytes / 2 (a value
  /// whose units do not fit the storage, kAll in practice: the length of
  /// the zero-terminated text, the last unit being zeroed first) and the
  /// terminator is written.  Nothing without storage.
  void ReleaseBuffer(uint32_t newLengthInBytes = kAll);

  uint32_t GetLength() const { return length_; }
  /// Capacity in bytes.
  uint32_t GetCapacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  bool HasStorage() const { return buffer_ != nullptr; }
  /// The text; u"" without storage.
  const char16_t *CStr() const { return buffer_ != nullptr ? buffer_ : u""; }
  /// The unit at a 0-based index; 0 when the index is not below the length.
  char16_t CharAt(uint32_t index) const { return index < length_ ? buffer_[index] : 0; }

  // ---- appending and formatting ----------------------------------------------

  /// Grows to 2(length + n) + 2 bytes when smaller and appends n units
  /// (which may lie inside the string).  Nothing for null or n 0.
  int AppendUnits(const char16_t *units, uint32_t n);
  /// Grows to 2 length + 4 bytes when smaller and appends unit.
  int AppendChar(char16_t unit);
  /// Replaces the contents with the formatted text (see wide_format.h for
  /// the conversions).  Returns 1; 0 and empty for a null or malformed
  /// format; 0 and unchanged when storage was not obtained.
  int Format(const char16_t *format, ...);
  int FormatV(const char16_t *format, va_list args);
  /// Formats with the 8-bit printf, then Assign (8-bit text).
  int FormatAnsi(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  /// A new string with the text converted to the ANSI code page; empty when
  /// this one is empty or the conversion fails.
  CCommonString ToAnsi() const;

  // ---- comparison (negative, zero, positive) -----------------------------------

  /// Unit-wise against a zero-terminated text.  A string without storage is
  /// less than any non-null text (also u""), equal to null; a string with
  /// storage is greater than null.
  int Compare(const char16_t *text) const;
  /// As Compare, but a string without storage equals u"" and null.
  int CompareEmptyEqual(const char16_t *text) const;
  /// The same two conventions with units compared after WideLower.
  int CompareNoCase(const char16_t *text) const;
  int CompareNoCaseEmptyEqual(const char16_t *text) const;
  /// 1 when the string ends with text ignoring case; a null text answers 1
  /// only for a string without storage.
  int EndsWithNoCase(const char16_t *text) const;

  // ---- searching, counting, replacing ------------------------------------------

  /// 1 and the 0-based index of the first occurrence of text in *outIndex
  /// (when given); 0 when none, for an empty string or an empty text.
  int Find(const char16_t *text, uint32_t *outIndex) const;
  /// Number of non-overlapping occurrences from 1-based position start (0
  /// counts as 1).
  uint32_t Count(const char16_t *text, uint32_t start) const;
  /// Replaces up to maxCount (kAll: all) non-overlapping occurrences of find
  /// by replacement from 1-based position start, left to right; inserted
  /// text is not searched again.  Returns the number of replacements; 0 and
  /// no change for an empty string, null or empty find, null replacement,
  /// start 0, maxCount 0, or find or replacement inside this string's
  /// storage.
  uint32_t Replace(const char16_t *find, const char16_t *replacement, uint32_t start, uint32_t maxCount);
  /// 1-based position of the first unit at or after start (0 counts as 1)
  /// that is (is not) space, LF, HT or CR; 0 if none.
  uint32_t FindSpace(uint32_t start) const;
  uint32_t FindNonSpace(uint32_t start) const;

  // ---- substrings and editing --------------------------------------------------

  /// The first / last min(n, length) units; empty without storage or n 0.
  CCommonWideString Left(uint32_t n) const;
  CCommonWideString Right(uint32_t n) const;
  /// min(n, length - start) units from the 0-based start; empty when start
  /// is not below the length.
  CCommonWideString Mid(uint32_t start, uint32_t n) const;
  /// Removes one unit at a 0-based index / 1-based position; 0 when out of
  /// range, else 1.
  int DeleteAt(uint32_t index);
  int DeleteAtPosition(uint32_t position);
  /// Removes count units from 1-based position; when fewer follow, the
  /// string is cut at position - 1.  Nothing for position 0, count 0, a
  /// position beyond the length or an empty string.
  void Delete(uint32_t position, uint32_t count);
  void DeleteLeft(uint32_t count);
  void DeleteRight(uint32_t count);
  void DeleteLastChar();
  /// Replaces deleteCount units from 1-based position with text; a position
  /// beyond the end appends.  0 (nothing) for position 0, a null text, or a
  /// text inside this string's storage.
  int Splice(const char16_t *text, uint32_t position, uint32_t deleteCount);

  // ---- trimming, case, separators ----------------------------------------------

  void TrimLeft();
  void TrimRight();
  void MakeUpper();
  void MakeLower();
  /// Appends a backslash when the last unit is neither a backslash nor a slash.
  int AddBackslash();
  /// Appends the platform's separator when the last unit is not it.
  int AddSeparator();
  /// Removes a final platform separator.
  void RemoveSeparator();
  /// When the last unit is not the platform separator: a final slash or
  /// backslash becomes it, otherwise it is appended.
  int EnsureSeparator();
  /// Removes a final slash or backslash.
  void RemoveAnySeparator();

  // ---- text to numbers ---------------------------------------------------------
  // Read as CCommonString reads its text, from the units below 128 (any
  // other unit ends the number); 0 for an empty string.

  char AsChar() const;  // a decimal number cut to 8 bits
  uint16_t AsUShort() const;
  int16_t AsShort() const;
  uint32_t AsUInt() const;
  int32_t AsInt() const;
  int64_t AsInt64() const;
  float AsFloat() const;
  double AsDouble() const;

 private:
  // Resizes the storage to exactly bytes (even, >= 2), cutting the text.
  bool ResizeTo(uint32_t bytes);
  // Grows to at least units + 1 units of storage.
  bool Ensure(uint64_t units);
  bool Owns(const char16_t *units, uint32_t n) const;
  CCommonString Narrow() const;

  uint32_t length_ = 0;         // code units, terminator not counted
  char16_t *buffer_ = nullptr;  // owned storage, or null for u""
  uint32_t capacity_ = 0;       // storage in bytes
};

#endif  // COMMON_COMMON_WIDE_STRING_H
