// bex_writer.h - composes Bex files byte by byte, well-formed or deliberately not.
#ifndef VBS_TOOLS_BEX_WRITER_H
#define VBS_TOOLS_BEX_WRITER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/bex_format.h"

namespace bexgen {

// The format's constants are the reader's (header-only: nothing is linked).
using bex::kSimNodeSize;
using bex::kVersionB;  // 312-byte header, no body
using bex::kVersionCurrent;
using bex::kVersionEarlyFirst;
using bex::kVersionEarlyLast;
using bex::kVersionFullFirst;
using bex::kVersionV;  // 336-byte header, no body

/// Stores v little-endian at bytes[offset..offset+3] (which must exist).
void PutU32(std::vector<uint8_t> &bytes, size_t offset, uint32_t v);

/// Little-endian byte sink.
class ByteWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Bytes(const void *data, size_t n);
  void Bytes(const std::vector<uint8_t> &data) { Bytes(data.data(), data.size()); }
  void Fill(uint8_t value, size_t n) { bytes_.insert(bytes_.end(), n, value); }
  /// A byte stream: 32-bit length, then the bytes.
  void Stream(const std::vector<uint8_t> &data);
  void PatchU32(size_t offset, uint32_t v);
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> &Data() { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

/// Builds a name pool: each name followed by a zero byte.
class NamePool {
 public:
  /// Appends name and returns its offset.
  int32_t Add(const std::string &name);
  const std::vector<uint8_t> &Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

/// One user-group node: parallel name offsets and values, the inclusive
/// transaction range and four attributes.  The raw streams, when set,
/// replace the ones made from names and values (for malformed files).
struct NodeSpec {
  std::vector<int32_t> names;
  std::vector<uint32_t> values;
  int16_t firstTra = 0;
  int16_t lastTra = -1;
  uint16_t reserved = 0;
  uint32_t attributes[4] = {0, 0, 0, 0};
  std::optional<std::vector<uint8_t>> nameStream;
  std::optional<std::vector<uint8_t>> valueStream;
};

/// One transaction call; skipped is the byte stream that follows it.
struct TraCallSpec {
  int32_t nameOffset = 0;
  uint32_t value = 0;
  uint32_t word20 = 0;  // cleared by the reader
  std::vector<uint8_t> skipped;
};

/// A full numbered Bex file: header, optional leading stream, name pool,
/// user-group table, transaction-call table.
struct BexSpec {
  uint32_t version = kVersionCurrent;
  uint32_t headerLength = kSimNodeSize;  // L; the header is padded or cut to it
  uint32_t flags = 0;
  int32_t benchmarkOffset = 0;
  std::optional<std::vector<uint8_t>> leadingStream;  // sets the stream indicator
  uint32_t namelistWord = 0;
  std::vector<uint8_t> pool;
  std::vector<NodeSpec> nodes;
  std::vector<TraCallSpec> calls;
  std::optional<int16_t> maxUsrGrp;  // default: nodes.size() - 1
  std::optional<int16_t> maxTra;     // default: calls.size() - 1
};

/// Writes spec as a file image.
std::vector<uint8_t> WriteBex(const BexSpec &spec);

/// Writes spec straight into out (for files too large to build twice).
void WriteBex(const BexSpec &spec, ByteWriter &out);

/// Header-only variants.  data300 is cut or zero-padded to 300 bytes.
std::vector<uint8_t> WriteBHeader(uint32_t switch1, uint32_t switch2,
                                  const std::vector<uint8_t> &data300 = {});
std::vector<uint8_t> WriteVHeader(uint32_t switch1, uint32_t switch2, uint32_t switch3);
/// An early numbered header of length L; the flags word lands at offset 348
/// when L leaves room for it.
std::vector<uint8_t> WriteEarlyHeader(uint32_t version, uint32_t length, uint32_t flags);

/// A small file that uses every feature of the format: leading stream,
/// benchmark name, several nodes (one without users), attributes,
/// transaction ranges, skipped streams.
BexSpec DemoSpec();

/// Bytes of a 32-bit little-endian vector (for raw streams).
std::vector<uint8_t> WordsToBytes(const std::vector<uint32_t> &words);

}  // namespace bexgen

#endif  // VBS_TOOLS_BEX_WRITER_H
