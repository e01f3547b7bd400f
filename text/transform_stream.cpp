// transform_stream.cpp - CCommonTransformStream.
#include "text/transform_stream.h"

#include <new>

#include "base/common_string.h"
#include "base/common_string_chars.h"

namespace {
constexpr size_t kMaxText = 0xFFFFFFFEu;  // longest text a CCommonString holds
}  // namespace

CCommonTransformStream::CCommonTransformStream(TextSpan source)
    : source_(source), current_(source.start), remaining_(source.start != nullptr ? source.length : 0) {}

CCommonTransformStream::~CCommonTransformStream() { delete output_; }

void CCommonTransformStream::Fail() {
  failed_ = true;
  delete output_;
  output_ = nullptr;
  common_string::NoStorage();
}

bool CCommonTransformStream::EnsureOutput() {
  if (output_ != nullptr) return true;
  if (failed_) return false;
  const size_t length = source_.start != nullptr ? source_.length : 0;
  const size_t kept = static_cast<size_t>(current_ - source_.start);
  const size_t room = length + length / 8;
  output_ = new (std::nothrow) CCommonString();
  if (output_ == nullptr || room > kMaxText ||
      !output_->Reserve(static_cast<uint32_t>(room)) ||
      !output_->Append(source_.start, static_cast<uint32_t>(kept))) {
    Fail();
    return false;
  }
  return true;
}

void CCommonTransformStream::Copy(size_t n) {
  if (n > remaining_) n = remaining_;
  if (n == 0) return;
  if (output_ != nullptr &&
      (output_->GetLength() + static_cast<uint64_t>(n) > kMaxText ||
       !output_->AppendPiece(current_, static_cast<uint32_t>(n))))
    Fail();
  current_ += n;
  remaining_ -= n;
}

void CCommonTransformStream::Drop(size_t n) {
  if (n > remaining_) n = remaining_;  // never step past the source
  (void)EnsureOutput();
  current_ += n;
  remaining_ -= n;
}

void CCommonTransformStream::Insert(const char *data, size_t length) {
  if (data == nullptr || length == 0 || !EnsureOutput()) return;
  if (output_->GetLength() + static_cast<uint64_t>(length) > kMaxText ||
      !output_->AppendPiece(data, static_cast<uint32_t>(length)))
    Fail();
}

void CCommonTransformStream::Insert(const CCommonString &text) {
  Insert(text.CStr(), text.GetLength());
}

void CCommonTransformStream::Replace(size_t n, const char *data, size_t length) {
  Drop(n);
  Insert(data, length);
}

CCommonString *CCommonTransformStream::TakeResult(int flush) {
  if (flush != 0) Copy(remaining_);
  CCommonString *result = output_;
  output_ = nullptr;
  return result;
}
