// bin_output_stream.h - CBinOutputStream, the writer of the binary records
// that CParseStream reads.
#ifndef COMMON_BIN_OUTPUT_STREAM_H
#define COMMON_BIN_OUTPUT_STREAM_H

#include <cstdint>

class CCommonString;

/// Appends records to a caller-owned string, which it only borrows:
///
///   unsigned 32-bit number  4 bytes in the stream's byte order
///   raw bytes               the bytes as they are
///   text                    its length as a number, then its bytes
///                           (no terminating zero)
///   null text               the number 0xFFFFFFFF and nothing else
///
/// Every write returns 1, or 0 when storage was not obtained; the output
/// then holds no part of that record.
class CBinOutputStream {
 public:
  /// byteOrder: 0 little-endian, anything else big-endian.  Gives output
  /// the growth record 25 percent + 256 bytes from 1024 bytes (not
  /// inherited), replacing any it had.
  CBinOutputStream(CCommonString &output, uint8_t byteOrder);
  CBinOutputStream(const CBinOutputStream &) = delete;
  CBinOutputStream &operator=(const CBinOutputStream &) = delete;
  /// The output stays with the caller.
  virtual ~CBinOutputStream();

  int WriteUInt32(uint32_t value);
  /// Nothing (result 1) for null bytes or count 0.
  int WriteBytes(const void *bytes, uint32_t count);
  /// The zero-terminated text with its length, or the null-text marker.
  int WriteString(const char *text);

  /// The byte order given to the constructor.
  uint32_t ByteOrder() const { return byteOrder_; }

 private:
  uint32_t byteOrder_;     // of the output: 0 little-, else big-endian
  uint32_t swap_;          // 1 when that differs from the machine's
  CCommonString *output_;  // the caller's string, not owned
};

#endif  // COMMON_BIN_OUTPUT_STREAM_H
