// bex_stream_store.cpp - chunked storage for the nodes' byte streams.
#include "reader/bex_stream_store.h"

#include <cstddef>

#include "base/mem.h"

struct BexStreamStore::Chunk {
  Chunk *next;
  // The data follows the header, aligned as the header is.
};

namespace {
constexpr uint32_t kChunkData = 64 * 1024;
// Streams above this size get a chunk of their own, so a shared chunk never
// wastes more than this at its end.
constexpr uint32_t kLargeStream = kChunkData / 4;
// Streams hold 32-bit name offsets and values; 8 keeps any 64-bit field
// aligned too.
constexpr uint32_t kAlign = 8;
constexpr size_t kHeader = (sizeof(BexStreamStore::Chunk) + kAlign - 1) & ~size_t{kAlign - 1};

uint8_t *DataOf(BexStreamStore::Chunk *chunk) { return reinterpret_cast<uint8_t *>(chunk) + kHeader; }

BexStreamStore::Chunk *NewChunk(uint64_t dataBytes) {
  void *p = nullptr;
  if (!MemAlloc(&p, static_cast<int64_t>(kHeader + dataBytes), 1, "ReadByteStreamFromBex"))
    return nullptr;
  return static_cast<BexStreamStore::Chunk *>(p);
}
}  // namespace

void *StoreStream(BexStreamStore &store, uint32_t bytes) {
  if (bytes == 0) return nullptr;
  const uint64_t rounded = (uint64_t{bytes} + kAlign - 1) & ~uint64_t{kAlign - 1};
  if (rounded > kLargeStream) {
    // A chunk of its own, linked behind the current one so that the
    // current chunk's free room stays in use.
    BexStreamStore::Chunk *chunk = NewChunk(rounded);
    if (chunk == nullptr) return nullptr;
    if (store.chunks == nullptr) {
      chunk->next = nullptr;
      store.chunks = chunk;
    } else {
      chunk->next = store.chunks->next;
      store.chunks->next = chunk;
    }
    return DataOf(chunk);
  }
  if (rounded > store.left) {
    BexStreamStore::Chunk *chunk = NewChunk(kChunkData);
    if (chunk == nullptr) return nullptr;
    chunk->next = store.chunks;
    store.chunks = chunk;
    store.free = DataOf(chunk);
    store.left = kChunkData;
  }
  void *p = store.free;
  store.free += rounded;
  store.left -= static_cast<uint32_t>(rounded);
  return p;
}

void ReleaseStreams(BexStreamStore &store) {
  for (BexStreamStore::Chunk *c = store.chunks; c != nullptr;) {
    BexStreamStore::Chunk *next = c->next;
    MemFree(c);
    c = next;
  }
  store = BexStreamStore{};
}
