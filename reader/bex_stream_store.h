// bex_stream_store.h - storage for the name and value streams of the nodes.
#ifndef VBS_READER_BEX_STREAM_STORE_H
#define VBS_READER_BEX_STREAM_STORE_H

#include <cstdint>

/// The user-group table of a large file holds two small byte streams per
/// node, up to 65,536 of them.  One heap block each would make allocation
/// the largest cost of a read, so the streams are carved from large
/// zero-filled chunks that the store owns and releases together.  A stream
/// too large to share a chunk gets a chunk of its own.
///
/// Plain data, all zero when empty, so that it lives inside the zeroed
/// reader state.
struct BexStreamStore {
  struct Chunk;
  Chunk *chunks;     // most recent first
  uint8_t *free;     // next unused byte of the first chunk
  uint32_t left;     // unused bytes there
};

/// Zero-filled storage for bytes bytes, aligned for 32-bit and pointer
/// access, valid until ReleaseStreams.  Null when the storage cannot be
/// had (the chunk allocation carries the tag "ReadByteStreamFromBex").
void *StoreStream(BexStreamStore &store, uint32_t bytes);

/// Releases every chunk; the store is empty afterwards.
void ReleaseStreams(BexStreamStore &store);

#endif  // VBS_READER_BEX_STREAM_STORE_H
