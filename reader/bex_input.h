// bex_input.h - the checked reads every Bex record goes through.
#ifndef VBS_READER_BEX_INPUT_H
#define VBS_READER_BEX_INPUT_H

#include <cstdint>

class CCommonFile;
struct BexStreamStore;

/// An open Bex file with the reader's own account of its position, so that
/// every length taken from the file can be compared with the bytes the file
/// still holds before anything is allocated for it.
///
/// Records are small and many (tens of thousands of 32- and 36-byte records
/// and 4-byte lengths in a large file), so the input reads the file in large
/// blocks and serves records and short skips from its block; reads as large
/// as half a block go straight into their destination.
class BexInput {
 public:
  /// Takes the length of the opened file once.
  explicit BexInput(CCommonFile &file);
  ~BexInput();
  BexInput(const BexInput &) = delete;
  BexInput &operator=(const BexInput &) = delete;

  CCommonFile &File() { return file_; }
  /// Bytes between the position and the end of the file (0 past the end).
  uint64_t BytesLeft() const { return position_ < size_ ? size_ - position_ : 0; }
  uint64_t Position() const { return position_; }

  /// Reads count bytes into dest, or raises severe error 170 with tag when
  /// the read fails or comes up short.
  void ReadExact(void *dest, uint32_t count, const char *tag);
  /// Moves forward by count bytes without reading them.  A failed seek is
  /// not reported: the next read will come up short.
  void Skip(uint32_t count);

 private:
  static constexpr uint32_t kBlockSize = 64 * 1024;

  CCommonFile &file_;
  uint64_t size_;
  uint64_t position_ = 0;  // logical position of the next byte delivered
  uint8_t *block_;         // null when it could not be had: reads go direct
  uint32_t next_ = 0;      // index of the next unread byte in block_
  uint32_t end_ = 0;       // bytes valid in block_
};

/// Reads a 4-byte length N (tag "SkipByteStream") and seeks past N bytes.
void SkipByteStream(BexInput &in);

/// Reads a byte stream (length tag "pLenByteStream", data tag
/// "ppByteStream").  length <- N; data <- null for N = 0, otherwise N bytes
/// plus one zero byte after them, allocated with MemAlloc, or taken from
/// store when one is given.  A stream longer than the rest of the file is the
/// short read it is: severe error 170 with "ppByteStream", raised before any
/// allocation.  Storage not obtained: severe error 35.
template <typename T>
void ReadByteStreamFromBex(BexInput &in, T **data, uint32_t *length,
                           BexStreamStore *store = nullptr);

/// First half of ReadByteStreamFromBex: reads and checks the length and
/// allocates the storage (null for 0).  The caller stores the pointer where
/// the release will find it before the bytes are read.
void *BeginByteStream(BexInput &in, uint32_t *length, BexStreamStore *store);

template <typename T>
void ReadByteStreamFromBex(BexInput &in, T **data, uint32_t *length, BexStreamStore *store) {
  *data = nullptr;
  void *p = BeginByteStream(in, length, store);
  *data = static_cast<T *>(p);
  if (p != nullptr) in.ReadExact(p, *length, "ppByteStream");
}

/// Reads a 4-byte length N (tag "pLenByteStream") and, when buffer is not
/// null, N bytes into it (tag "ppByteStream").  The caller's buffer must
/// hold the stream: use capacity to bound it; a longer stream raises severe
/// error 170 without writing past capacity.
void ReadByteStreamToBuffer(BexInput &in, void *buffer, uint32_t capacity, uint32_t *length);

/// Skips a serialized list of elements of elementSize bytes: an element's
/// first word is nonzero when another follows, its second nonzero when a
/// nested list of childSize-byte elements follows it.  Element buffer not
/// obtained: severe error 32; short read: 170 with "SkipDynList".
void SkipDynList(BexInput &in, uint32_t presence, uint16_t elementSize, uint16_t childSize);

#endif  // VBS_READER_BEX_INPUT_H
