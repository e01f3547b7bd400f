// bin_output_stream.cpp - CBinOutputStream.
#include "text/bin_output_stream.h"

#include <cstring>

#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "text/byte_order.h"

CBinOutputStream::CBinOutputStream(CCommonString &output, uint8_t byteOrder)
    : byteOrder_(byteOrder), swap_(CommonNeedsSwap(byteOrder) ? 1u : 0u), output_(&output) {
  (void)output_->SetGrowth(25, 256, 1024, 0);
}

CBinOutputStream::~CBinOutputStream() = default;

int CBinOutputStream::WriteUInt32(uint32_t value) {
  if (swap_ != 0) value = CommonSwap32(value);
  char bytes[4];
  std::memcpy(bytes, &value, 4);
  return output_->Append(bytes, 4);
}

int CBinOutputStream::WriteBytes(const void *bytes, uint32_t count) {
  return output_->Append(static_cast<const char *>(bytes), count);
}

int CBinOutputStream::WriteString(const char *text) {
  if (text == nullptr) return WriteUInt32(0xFFFFFFFFu);
  const size_t length = std::strlen(text);
  // 0xFFFFFFFF is the null-text marker, and no string holds that much.
  if (length >= 0xFFFFFFFFu) return common_string::NoStorage();
  const uintptr_t at = reinterpret_cast<uintptr_t>(text);
  const uintptr_t own = reinterpret_cast<uintptr_t>(output_->CStr());
  if (output_->HasStorage() && at >= own && at < own + output_->GetCapacity()) {
    // The output's own text would move when the output grows.
    const CCommonString copy(text, static_cast<uint32_t>(length));
    if (copy.GetLength() != length) return 0;
    return WriteString(copy.CStr());
  }
  if (!WriteUInt32(static_cast<uint32_t>(length))) return 0;
  if (!WriteBytes(text, static_cast<uint32_t>(length))) {
    output_->DeleteRight(4);  // no half record
    return 0;
  }
  return 1;
}
