// bex_header.cpp - header variants: B, V, early numbered and full numbered.
#include "reader/bex_header.h"

#include <cstring>
#include <initializer_list>

#include "reader/bex_error.h"
#include "reader/bex_input.h"
#include "reader/bex_state.h"

namespace {
uint32_t WordAt(const uint8_t *record, size_t offset) {
  uint32_t v;
  std::memcpy(&v, record + offset, sizeof v);
  return v;
}

void PutWord(uint8_t *record, size_t offset, uint32_t v) { std::memcpy(record + offset, &v, sizeof v); }

uint32_t ReadWord(BexInput &in) {
  uint32_t v = 0;
  in.ReadExact(&v, sizeof v, "");
  return v;
}

// Reads the header data after the eight bytes of version and length into
// record (of capacity bytes) from offset 8.  A length below 8 cannot hold
// its own fields and is refused; data beyond the record is passed over by
// seeking, so that a longer header of a later writer still reads.
void ReadHeaderData(BexInput &in, uint32_t length, uint8_t *record, size_t capacity) {
  if (length < 8) RaiseBexError("", kBexErrVersion);
  const uint32_t data = length - 8;
  const uint32_t room = static_cast<uint32_t>(capacity - 8);
  in.ReadExact(record + 8, data < room ? data : room, "");
  if (data > room) in.Skip(data - room);
}

bool IsMultipleOfTen(int32_t v) { return v % 10 == 0; }
}  // namespace

void ReadBexHeader(BexInput &in, BexReaderState &state) {
  uint8_t *record = state.header;
  in.ReadExact(record + bex::kOffVersion, 4, "");
  const auto version = static_cast<int32_t>(WordAt(record, bex::kOffVersion));

  if (version == bex::kVersionB) {
    PutWord(record, bex::kOffLength, bex::kLengthB);
    uint32_t flags = 0;
    if (ReadWord(in) != 0) flags |= bex::kFlagMaskGroup1;
    if (ReadWord(in) != 0) flags |= bex::kFlagMaskGroup2;
    in.ReadExact(record + 8, 300, "");
    PutWord(record, bex::kOffFlags, flags);
    return;
  }
  if (version == bex::kVersionV) {
    PutWord(record, bex::kOffLength, bex::kLengthV);
    uint8_t scratch[bex::kScratchSize] = {};
    in.ReadExact(scratch + 8, 332, "");
    uint32_t flags = 0;
    if (WordAt(scratch, 8) != 0) flags |= bex::kFlagMaskGroup1;
    if (WordAt(scratch, 12) != 0) flags |= bex::kFlagMaskGroup2;
    if (WordAt(scratch, 16) != 0) flags |= bex::kFlagMaskGroup3;
    PutWord(record, bex::kOffFlags, flags);
    return;
  }
  if (IsMultipleOfTen(version) && version >= bex::kVersionEarlyFirst &&
      version <= bex::kVersionEarlyLast) {
    uint8_t scratch[bex::kScratchSize] = {};
    const uint32_t length = ReadWord(in);
    ReadHeaderData(in, length, scratch, sizeof scratch);
    PutWord(record, bex::kOffLength, length);
    PutWord(record, bex::kOffFlags, WordAt(scratch, bex::kOffEarlyFlags));
    return;
  }
  if (IsMultipleOfTen(version) && version > bex::kVersionEarlyLast &&
      version <= bex::kVersionCurrent) {
    const uint32_t length = ReadWord(in);
    ReadHeaderData(in, length, record, bex::kSimNodeSize);
    PutWord(record, bex::kOffLength, length);
    state.bodyFlag = 1;
    return;
  }
  RaiseBexError("", kBexErrVersion);
}

void ReadSimNodeFromBex(BexInput &in, uint8_t (&record)[bex::kSimNodeSize]) {
  in.ReadExact(record, bex::kSimNodeSize, "SIMNODE");
  const auto version = static_cast<int32_t>(WordAt(record, bex::kOffVersion));
  if (version != bex::kVersionCurrent)
    RaiseBexError("", version == bex::kVersionCurrent - 10 ? kBexErrVersionOld : kBexErrVersion);
  for (size_t offset : {288u, 292u, 296u, 280u, 268u, 276u}) PutWord(record, offset, 0);
  PutWord(record, 332, 0xFFFFFFFFu);
}
