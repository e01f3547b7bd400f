// common_string.cpp - CCommonString: storage, growth, assignment, appending,
// editing and formatting.
#include "base/common_string.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/code_page.h"
#include "base/common_string_chars.h"
#include "base/last_error.h"
#include "base/match_line.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "base/text.h"

using common_string::NoStorage;
using common_string::SkipChars;

namespace {
constexpr uint64_t kMaxCapacity = 0xFFFFFFFFu;  // capacity is a 32-bit count
// The growth of texts built piece by piece (AppendPiece) when the string
// has no growth record of its own.  Half as much again: the Windows heap
// gives blocks of about 1 MiB and more fresh pages at every resize, so the
// bytes resized (three times the text at 50 percent, five at 25) are what
// such a text costs there.
constexpr CCommonStringGrowth kPieceGrowth = {0, 0, 50, 256};
}  // namespace

int common_string::NoStorage() {
  SalSetLastError(kCommonErrNoStorage);
  return 0;
}

// ---- construction ------------------------------------------------------------

CCommonString::CCommonString(const char *text) { (void)Assign(text); }

CCommonString::CCommonString(const char *bytes, uint32_t n) { (void)Assign(bytes, n); }

CCommonString::CCommonString(const CCommonString &other) {
  (void)Assign(other.buffer_, other.length_);
  if (other.growth_ != nullptr && other.growth_->inherit != 0)
    (void)SetGrowth(other.growth_->percent, other.growth_->increment, other.growth_->threshold,
                    other.growth_->inherit);
}

CCommonString::CCommonString(CCommonString &&other) noexcept
    : length_(other.length_), buffer_(other.buffer_), capacity_(other.capacity_),
      growth_(other.growth_) {
  other.length_ = 0;
  other.buffer_ = nullptr;
  other.capacity_ = 0;
  other.growth_ = nullptr;
}

CCommonString &CCommonString::operator=(const CCommonString &other) {
  if (this != &other) (void)Assign(other.buffer_, other.length_);
  return *this;
}

CCommonString &CCommonString::operator=(CCommonString &&other) noexcept {
  if (this != &other) {
    Swap(other);
    CCommonStringGrowth *g = growth_;
    growth_ = other.growth_;
    other.growth_ = g;
  }
  return *this;
}

CCommonString::~CCommonString() {
  MemFree(buffer_);
  MemFree(growth_);
}

// ---- storage -------------------------------------------------------------------

bool CCommonString::Owns(const char *bytes, uint32_t n) const {
  if (buffer_ == nullptr || bytes == nullptr) return false;
  // Compared as integers: the bytes usually belong to another object.
  const uintptr_t b = reinterpret_cast<uintptr_t>(bytes);
  const uintptr_t lo = reinterpret_cast<uintptr_t>(buffer_);
  return b + n > lo && b < lo + capacity_;
}

uint32_t CCommonString::TextLength() const {
  return buffer_ != nullptr ? common_string::TextLength(buffer_, length_) : 0;
}

bool CCommonString::Resize(uint32_t capacity) {
  void *p = buffer_;
  if (!MemRealloc(&p, capacity)) return NoStorage() != 0;
  const bool fresh = buffer_ == nullptr;
  buffer_ = static_cast<char *>(p);
  capacity_ = capacity;
  if (fresh) length_ = 0;
  if (length_ >= capacity_) length_ = capacity_ - 1;
  buffer_[length_] = '\0';
  return true;
}

bool CCommonString::GrowTo(uint64_t needed, const CCommonStringGrowth *rule) {
  if (needed <= capacity_) return true;
  if (needed > kMaxCapacity) return NoStorage() != 0;
  uint64_t capacity = needed;
  if (rule != nullptr && needed >= rule->threshold) {
    // The product is formed in 64 bits and the quotient kept to 32 bits.
    const uint32_t extra = static_cast<uint32_t>(needed * rule->percent / 100);
    capacity = needed + extra + rule->increment;
    if (capacity > kMaxCapacity) capacity = kMaxCapacity;
  }
  return Resize(static_cast<uint32_t>(capacity));
}

void CCommonString::Adopt(char *storage, uint32_t length, uint32_t capacity) {
  MemFree(buffer_);
  buffer_ = storage;
  length_ = length;
  capacity_ = capacity;
  buffer_[length_] = '\0';
}

int CCommonString::Assign(const char *bytes, uint32_t n) {
  if (bytes == nullptr) {
    Empty();
    return 1;
  }
  if (n >= kMaxCapacity) return NoStorage();
  if (capacity_ < n + 1u) {
    // The source may be part of the storage that is about to move.
    const bool inside = Owns(bytes, n);
    const size_t offset = inside ? static_cast<size_t>(bytes - buffer_) : 0;
    if (!Resize(n + 1u)) return 0;
    if (inside) bytes = buffer_ + offset;
  }
  std::memmove(buffer_, bytes, n);
  length_ = n;
  buffer_[n] = '\0';
  return 1;
}

int CCommonString::Assign(const char *text) {
  if (text == nullptr) {
    Empty();
    return 1;
  }
  const size_t n = std::strlen(text);
  if (n >= kMaxCapacity) return NoStorage();
  return Assign(text, static_cast<uint32_t>(n));
}

int CCommonString::AssignChars(const char *text, uint32_t count) {
  if (text == nullptr) {
    Empty();
    return 1;
  }
  const uint8_t *leads = SalLeadByteTable();
  uint32_t i = 0;
  for (uint32_t n = 0; n < count && text[i] != '\0' && i < kMaxCapacity - 2; ++n)
    i += SalCharLength(leads, text + i);
  return Assign(text, i);
}

void CCommonString::Empty() {
  MemFree(buffer_);
  buffer_ = nullptr;
  length_ = 0;
  capacity_ = 0;
}

void CCommonString::Clear() {
  length_ = 0;
  if (buffer_ != nullptr) buffer_[0] = '\0';
}

void CCommonString::Swap(CCommonString &other) {
  const uint32_t length = length_;
  char *buffer = buffer_;
  const uint32_t capacity = capacity_;
  length_ = other.length_;
  buffer_ = other.buffer_;
  capacity_ = other.capacity_;
  other.length_ = length;
  other.buffer_ = buffer;
  other.capacity_ = capacity;
}

int CCommonString::Reserve(uint32_t n, uint32_t max) {
  if (n == kAll) return NoStorage();  // n + 1 bytes cannot be counted
  uint32_t target = capacity_ > n ? capacity_ : n + 1u;
  if (max != kAll && target > max + 1u) target = max + 1u;
  if (n >= max) target = n + 1u;
  if (target == capacity_) return 1;
  return Resize(target) ? 1 : 0;
}

char *CCommonString::GetBuffer(uint32_t minimum) {
  if (minimum > 0) return Reserve(minimum - 1u) ? buffer_ : nullptr;
  if (buffer_ == nullptr) return nullptr;
  buffer_[capacity_ - 1] = '\0';
  return buffer_;
}

void CCommonString::ReleaseBuffer(uint32_t newLength) {
  if (buffer_ == nullptr) return;
  if (newLength >= capacity_) {
    buffer_[capacity_ - 1] = '\0';
    length_ = static_cast<uint32_t>(std::strlen(buffer_));
  } else {
    length_ = newLength;
  }
  buffer_[length_] = '\0';
}

int CCommonString::Attach(char *storage, uint32_t capacity, uint32_t length) {
  Empty();
  if (storage == nullptr) return 1;
  if (capacity == 0) return 0;  // no room even for the terminator: not adopted
  MemAdopt(storage);
  buffer_ = storage;
  capacity_ = capacity;
  length_ = length < capacity ? length : capacity - 1;
  buffer_[length_] = '\0';
  return 1;
}

int CCommonString::Attach(char *text) {
  if (text == nullptr) {
    Empty();
    return 1;
  }
  const size_t n = std::strlen(text);
  if (n >= kMaxCapacity) return 0;
  return Attach(text, static_cast<uint32_t>(n + 1), static_cast<uint32_t>(n));
}

int CCommonString::SetGrowth(uint32_t percent, uint32_t increment, uint32_t threshold,
                             uint32_t inherit) {
  if (growth_ == nullptr && !MemAllocT(&growth_, 1, "CCommonStringGrowth")) return NoStorage();
  growth_->inherit = inherit;
  growth_->threshold = threshold;
  growth_->percent = percent;
  growth_->increment = increment;
  return 1;
}

uint32_t CCommonString::CharCount() const {
  if (buffer_ == nullptr) return 0;
  const uint8_t *leads = SalLeadByteTable();
  uint32_t n = 0;
  for (const char *p = buffer_; *p != '\0'; p += SalCharLength(leads, p)) ++n;
  return n;
}

// ---- appending -------------------------------------------------------------------

int CCommonString::AppendCharGrowing(char byte) {
  if (!GrowTo(static_cast<uint64_t>(length_) + 2)) return 0;
  buffer_[length_] = byte;
  buffer_[++length_] = '\0';
  return 1;
}

int CCommonString::Append(const char *bytes, uint32_t n) { return AppendBytes(bytes, n, growth_); }

int CCommonString::AppendPiece(const char *bytes, uint32_t n) {
  return AppendBytes(bytes, n, growth_ != nullptr ? growth_ : &kPieceGrowth);
}

int CCommonString::AppendBytes(const char *bytes, uint32_t n, const CCommonStringGrowth *rule) {
  if (bytes == nullptr || n == 0) return 1;
  const bool inside = Owns(bytes, n);
  const size_t offset = inside ? static_cast<size_t>(bytes - buffer_) : 0;
  if (!GrowTo(static_cast<uint64_t>(length_) + n + 1, rule)) return 0;
  if (inside) bytes = buffer_ + offset;
  std::memmove(buffer_ + length_, bytes, n);
  length_ += n;
  buffer_[length_] = '\0';
  return 1;
}

int CCommonString::Append(const char *text) {
  if (text == nullptr) return 1;
  const size_t n = std::strlen(text);
  if (n >= kMaxCapacity) return NoStorage();
  return Append(text, static_cast<uint32_t>(n));
}

// ---- editing -----------------------------------------------------------------------

// Replaces removed bytes at byte offset at (both within the text) by the n
// bytes, which lie outside the storage.
int CCommonString::ReplaceRange(uint32_t at, uint32_t removed, const char *bytes, uint32_t n) {
  const uint64_t newLength = static_cast<uint64_t>(length_) - removed + n;
  if (n > removed && !GrowTo(newLength + 1)) return 0;
  if (buffer_ == nullptr) return 1;  // nothing removed from nothing, nothing inserted
  std::memmove(buffer_ + at + n, buffer_ + at + removed, length_ - at - removed + 1u);
  if (n > 0) std::memcpy(buffer_ + at, bytes, n);
  length_ = static_cast<uint32_t>(newLength);
  return 1;
}

int CCommonString::Splice(const char *bytes, uint32_t n, uint32_t position, uint32_t replaceCount) {
  if (position == 0 || (bytes == nullptr && n > 0) || Owns(bytes, n)) return 0;
  if (position > length_) return Append(bytes, n);
  const uint32_t at = position - 1;
  const uint32_t removed = replaceCount < length_ - at ? replaceCount : length_ - at;
  return ReplaceRange(at, removed, bytes, n);
}

int CCommonString::SpliceChars(const char *text, uint32_t n, uint32_t position,
                               uint32_t deleteCount) {
  if (text == nullptr || n == 0 || position == 0 || Owns(text, n)) return 0;
  const uint8_t *leads = SalLeadByteTable();
  const char *s = CStr();
  const uint32_t end = TextLength();
  const uint32_t at = SkipChars(leads, s, end, position - 1);
  const uint32_t removed = SkipChars(leads, s + at, end - at, deleteCount);
  return ReplaceRange(at, removed, text, n);
}

void CCommonString::Delete(uint32_t position, uint32_t count) {
  if (position == 0 || count == 0 || position > length_) return;
  const uint32_t at = position - 1;
  if (length_ - at <= count) {
    length_ = at;
  } else {
    std::memmove(buffer_ + at, buffer_ + at + count, length_ - at - count);
    length_ -= count;
  }
  buffer_[length_] = '\0';
}

void CCommonString::DeleteLeft(uint32_t count) {
  if (count == 0 || length_ == 0) return;
  if (count >= length_) {
    Clear();
    return;
  }
  std::memmove(buffer_, buffer_ + count, length_ - count + 1u);
  length_ -= count;
}

void CCommonString::DeleteRight(uint32_t count) {
  if (count == 0 || length_ == 0) return;
  length_ = count >= length_ ? 0 : length_ - count;
  buffer_[length_] = '\0';
}

void CCommonString::DeleteLastChar() { DeleteRight(1); }

int CCommonString::DeleteCharAt(uint32_t index) {
  const uint8_t *leads = SalLeadByteTable();
  const uint32_t end = TextLength();
  uint32_t walked = 0;
  const uint32_t at = SkipChars(leads, CStr(), end, index, &walked);
  if (walked < index || at >= end) return 0;
  return ReplaceRange(at, SalCharLength(leads, buffer_ + at), nullptr, 0);
}

int CCommonString::DeleteCharAtPosition(uint32_t position) {
  return position == 0 ? 0 : DeleteCharAt(position - 1);
}

int CCommonString::PadLeft(char fill, uint32_t width) {
  if (fill == '\0') return 0;
  if (width < length_) {
    length_ = width;
    buffer_[length_] = '\0';
    return 1;
  }
  const uint32_t added = width - length_;
  if (added == 0) return 1;
  if (!GrowTo(static_cast<uint64_t>(width) + 1)) return 0;
  std::memmove(buffer_ + added, buffer_, length_ + 1u);
  std::memset(buffer_, fill, added);
  length_ = width;
  return 1;
}

int CCommonString::PadToMultiple(uint32_t width, char fill) {
  if (width == 0) return 0;
  const uint64_t added = static_cast<uint64_t>(width) + 1 - (static_cast<uint64_t>(length_) + 1) % width;
  if (!GrowTo(length_ + added + 1)) return 0;
  std::memset(buffer_ + length_, fill, static_cast<size_t>(added));
  length_ += static_cast<uint32_t>(added);
  buffer_[length_] = '\0';
  return 1;
}

// ---- formatting ---------------------------------------------------------------------

int CCommonString::Format(const char *format, ...) {
  SAL_RETURN_VA_CALL(args, format, FormatV(format, args));
}

int CCommonString::FormatV(const char *format, va_list args) {
  if (format == nullptr) {
    Empty();
    return 0;
  }
  va_list measure;
  va_copy(measure, args);
  const int n = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (n < 0) {
    Empty();
    return 0;
  }
  // Fresh storage: an argument may be this string's own text, which must
  // stay readable until the formatting is done.
  void *p = nullptr;
  if (!MemRealloc(&p, static_cast<size_t>(n) + 1)) return NoStorage();
  char *text = static_cast<char *>(p);
  if (BoundedFormatV(text, static_cast<size_t>(n) + 1, format, args) != n) {
    MemFree(text);
    Empty();
    return 0;
  }
  Adopt(text, static_cast<uint32_t>(n), static_cast<uint32_t>(n) + 1u);
  return 1;
}

int CCommonString::MakeBlock(const char *text, const char *header, const char *footer,
                             const char *prefix, int32_t maxLines) {
  // Built aside, so that text may be this string's own and a failure
  // leaves the contents as they were.
  CCommonString block;
  if (!block.SetGrowth(25, 256, 1024, 0)) return 0;
  bool ok = block.Append(header) && block.AppendChar('\n');
  const char *position = text != nullptr ? text : "";
  TextSpan line;
  for (int32_t lines = 0; ok && (maxLines < 0 || lines < maxLines); ++lines) {
    if (MatchLine(position, &line) == 0) break;
    if (line.length >= kMaxCapacity) return NoStorage();
    ok = block.Append(prefix) && block.Append(line.start, static_cast<uint32_t>(line.length));
  }
  ok = ok && block.AppendChar('\n') && block.Append(footer);
  if (!ok || !SetGrowth(25, 256, 1024, 0)) return 0;
  Swap(block);
  return 1;
}
