// parse_stream.cpp - CParseStream.
#include "text/parse_stream.h"

#include <cstring>
#include <new>

#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "base/mem.h"
#include "base/text_lookup.h"
#include "text/byte_order.h"
#include "text/common_msg_buffer.h"

namespace {
// Ids of the located messages' texts in the common-strings module.
constexpr uint32_t kTextBinaryOffset = 38209;   // "%u" decimal, "%X" hexadecimal offset
constexpr uint32_t kTextNestingLevel = 38210;   // "%u" nesting level
constexpr uint32_t kTextUnexpectedEnd = 38211;

inline uintptr_t Address(const char *p) { return reinterpret_cast<uintptr_t>(p); }
}  // namespace

CParseStream::CParseStream(TextSpan data, uint8_t byteOrder, CCommonMsgBuffer *messages)
    : byteOrder_(byteOrder),
      swap_(CommonNeedsSwap(byteOrder) ? 1u : 0u),
      data_(data),
      messages_(messages),
      end_(data.start != nullptr ? data.start + data.length : nullptr),
      position_(data.start) {
  if (data_.start == nullptr) data_.length = 0;
  if (messages_ == nullptr) {
    ownMessages_ = new (std::nothrow) CCommonMsgBuffer(",\n");
    messages_ = ownMessages_;
  }
}

CParseStream::~CParseStream() {
  delete ownMessages_;
  MemFree(savedEnds_);
}

bool CParseStream::CanRead(const char *at, size_t count) const {
  // Compared as addresses: a position handed in by the caller may point
  // anywhere.  A null position is inside only data that is null itself.
  if (Address(at) < Address(data_.start) || Address(at) > Address(end_)) return false;
  return static_cast<size_t>(end_ - at) >= count;
}

int CParseStream::IsAtEnd(int checkLevels) const {
  return position_ == end_ && (checkLevels == 0 || savedCount_ == 0) ? 1 : 0;
}

int CParseStream::EnterLevel(const char *newEnd) {
  if (newEnd == nullptr || Address(newEnd) < Address(position_) || Address(newEnd) > Address(end_))
    return 0;
  if (savedCount_ == savedCapacity_) {
    const uint32_t capacity = savedCapacity_ == 0 ? 8 : savedCapacity_ * 2;
    if (capacity <= savedCapacity_) return common_string::NoStorage();
    void *p = savedEnds_;
    if (!MemRealloc(&p, sizeof(const char *) * capacity)) return common_string::NoStorage();
    savedEnds_ = static_cast<const char **>(p);
    savedCapacity_ = capacity;
  }
  savedEnds_[savedCount_++] = end_;
  end_ = newEnd;
  ++level_;
  return 1;
}

int CParseStream::EnterLevelBytes(uint32_t count) {
  if (!CanRead(position_, count)) return 0;
  return EnterLevel(position_ + count);
}

int CParseStream::LeaveLevel() {
  if (savedCount_ == 0) return 0;
  end_ = savedEnds_[--savedCount_];
  --level_;
  return 1;
}

int CParseStream::ReadUInt32(uint32_t *value, const char **position) {
  const char *&at = position != nullptr ? *position : position_;
  if (!CanRead(at, 4)) return ReportError("unexpected end of data", 0);
  uint32_t v = 0;
  std::memcpy(&v, at, 4);
  if (swap_ != 0) v = CommonSwap32(v);
  if (value != nullptr) *value = v;
  at += 4;
  return 1;
}

int CParseStream::ReadBytes(uint32_t count, const char **position, TextSpan *span) {
  const char *&at = position != nullptr ? *position : position_;
  if (!CanRead(at, count)) return ReportError(SalCommonText(kTextUnexpectedEnd), 0);
  if (span != nullptr) {
    span->start = at;
    span->length = at != nullptr ? count : 0;
  }
  if (at != nullptr) at += count;
  return 1;
}

int CParseStream::ReadString(char **text) {
  const char *record = position_;
  uint32_t length = 0;
  if (!ReadUInt32(&length)) return 0;
  if (length == 0xFFFFFFFFu) {
    if (text != nullptr) *text = nullptr;
    return 1;
  }
  TextSpan bytes;
  if (!ReadBytes(length, nullptr, &bytes)) {
    position_ = record;
    return 0;
  }
  if (text == nullptr) return 1;
  // The length is at most what the data holds, so this allocation is
  // bounded by the record's size.
  void *storage = nullptr;
  if (!MemAlloc(&storage, static_cast<int64_t>(length) + 1, 1, "CParseStream::ReadString")) {
    position_ = record;
    return common_string::NoStorage();
  }
  if (length != 0) std::memcpy(storage, bytes.start, length);
  static_cast<char *>(storage)[length] = '\0';
  *text = static_cast<char *>(storage);
  return 1;
}

int CParseStream::ReportError(const char *text, uint32_t level) {
  if (messages_ == nullptr) return 0;
  const auto offset = static_cast<unsigned>(position_ - data_.start);
  CCommonString entry;
  (void)entry.Format(SalCommonFormat(kTextBinaryOffset), offset, offset);
  (void)messages_->Add(entry.CStr(), level);
  if (level_ == 0) return messages_->Add(text, level);
  CCommonString nested;
  (void)nested.Format(SalCommonFormat(kTextNestingLevel), static_cast<unsigned>(level_));
  entry.Assign(text);
  (void)entry.Append(nested);
  return messages_->Add(entry.CStr(), level);
}
