// common_msg_buffer.cpp - CCommonMsgBuffer.
#include "text/common_msg_buffer.h"

#include <cstring>
#include <new>

#include "base/common_string_chars.h"
#include "base/mem.h"
#include "base/text.h"

CCommonMsgBuffer::CCommonMsgBuffer(const char *separator) : separator_(separator) {}

CCommonMsgBuffer::~CCommonMsgBuffer() {
  if (text_ != nullptr) {
    text_->~CCommonString();
    MemFree(text_);
  }
}

void CCommonMsgBuffer::OnTextCreated(CCommonString &) {}

void CCommonMsgBuffer::GetText(CCommonString &out) const {
  if (text_ == nullptr) {
    out.Empty();
  } else {
    (void)out.Assign(*text_);
  }
}

void CCommonMsgBuffer::SetLevel(uint32_t value, int force) {
  if (force != 0 || value > level_) level_ = value;
}

int CCommonMsgBuffer::Add(const char *text, uint32_t level) {
  SetLevel(level, 0);
  if (text_ == nullptr) {
    void *p = nullptr;
    if (!MemAlloc(&p, 1, sizeof(CCommonString), "CCommonMsgBuffer")) return common_string::NoStorage();
    text_ = new (p) CCommonString();
    OnTextCreated(*text_);
  } else if (!text_->AppendPiece(separator_.CStr(), separator_.GetLength())) {
    return 0;  // no separator, no message: the text stays well-formed
  }
  // Piece by piece: many messages grow the text geometrically.
  const size_t length = text != nullptr ? std::strlen(text) : 0;
  if (length >= 0xFFFFFFFFu) return common_string::NoStorage();
  (void)text_->AppendPiece(text, static_cast<uint32_t>(length));
  return 0;
}

int CCommonMsgBuffer::AddFormattedV(const char *format, uint32_t level, va_list args) {
  if (format == nullptr) return 0;
  // A text that cannot be formatted is added empty: the level still counts.
  CCommonString text;
  (void)text.FormatV(format, args);
  return Add(text.CStr(), level);
}

int CCommonMsgBuffer::AddFormatted(uint32_t level, const char *format, ...) {
  SAL_RETURN_VA_CALL(args, format, AddFormattedV(format, level, args));
}

#define COMMON_ADD_LEVEL_FORMATTED(n)                                     \
  int CCommonMsgBuffer::AddLevel##n##Formatted(const char *format, ...) { \
    SAL_RETURN_VA_CALL(args, format, AddFormattedV(format, n, args));     \
  }
COMMON_ADD_LEVEL_FORMATTED(0)
COMMON_ADD_LEVEL_FORMATTED(1)
COMMON_ADD_LEVEL_FORMATTED(2)
COMMON_ADD_LEVEL_FORMATTED(3)
#undef COMMON_ADD_LEVEL_FORMATTED
