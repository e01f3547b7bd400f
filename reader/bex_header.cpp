// bex_header.cpp - header variants: B, V, early numbered and full numbered.
#include "reader/bex_header.h"

#include <cstring>

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

// Reads the header data after the version and length words into record
// (of capacity bytes) from kOffHeaderData.  A length that cannot hold those
// two words is refused; data beyond the record is passed over by seeking,
// so that a longer header of a later writer still reads.
void ReadHeaderData(BexInput &in, uint32_t length, uint8_t *record, size_t capacity) {
  if (length < bex::kOffHeaderData) RaiseBexError("", kBexErrVersion);
  const uint32_t data = length - bex::kOffHeaderData;
  const auto room = static_cast<uint32_t>(capacity - bex::kOffHeaderData);
  in.ReadExact(record + bex::kOffHeaderData, data < room ? data : room, "");
  if (data > room) in.Skip(data - room);
}

// The flag groups that the switch words of the B and V headers set, in
// the order of the switches.
constexpr uint32_t kSwitchFlags[bex::kVSwitchCount] = {bex::kFlagMaskGroup1, bex::kFlagMaskGroup2,
                                                       bex::kFlagMaskGroup3};
}  // namespace

void ReadBexHeader(BexInput &in, BexReaderState &state) {
  uint8_t *record = state.header;
  in.ReadExact(record + bex::kOffVersion, 4, "");
  const uint32_t version = WordAt(record, bex::kOffVersion);
  switch (bex::VariantOf(version)) {
    case bex::Variant::kB: {
      PutWord(record, bex::kOffLength, bex::kLengthB);
      uint32_t flags = 0;
      for (size_t i = 0; i < bex::kBSwitchCount; ++i)
        if (ReadWord(in) != 0) flags |= kSwitchFlags[i];
      in.ReadExact(record + bex::kOffHeaderData, bex::kBDataSize, "");
      PutWord(record, bex::kOffFlags, flags);
      return;
    }
    case bex::Variant::kV: {
      PutWord(record, bex::kOffLength, bex::kLengthV);
      uint8_t scratch[bex::kScratchSize] = {};
      in.ReadExact(scratch + bex::kOffHeaderData, bex::kVRestSize, "");
      uint32_t flags = 0;
      for (size_t i = 0; i < bex::kVSwitchCount; ++i)
        if (WordAt(scratch, bex::kOffHeaderData + 4 * i) != 0) flags |= kSwitchFlags[i];
      PutWord(record, bex::kOffFlags, flags);
      return;
    }
    case bex::Variant::kEarlyNumbered: {
      uint8_t scratch[bex::kScratchSize] = {};
      const uint32_t length = ReadWord(in);
      ReadHeaderData(in, length, scratch, sizeof scratch);
      PutWord(record, bex::kOffLength, length);
      PutWord(record, bex::kOffFlags, WordAt(scratch, bex::kOffEarlyFlags));
      return;
    }
    case bex::Variant::kFullNumbered: {
      const uint32_t length = ReadWord(in);
      ReadHeaderData(in, length, record, bex::kSimNodeSize);
      PutWord(record, bex::kOffLength, length);
      state.bodyFlag = 1;
      return;
    }
    case bex::Variant::kUnknown:
      break;
  }
  RaiseBexError("", kBexErrVersion);
}

void ReadSimNodeFromBex(BexInput &in, uint8_t (&record)[bex::kSimNodeSize]) {
  in.ReadExact(record, bex::kSimNodeSize, "SIMNODE");
  const uint32_t version = WordAt(record, bex::kOffVersion);
  if (version != bex::kVersionCurrent)
    RaiseBexError("", version == bex::kVersionCurrent - 10 ? kBexErrVersionOld : kBexErrVersion);
  for (size_t offset : bex::kOffResetToZero) PutWord(record, offset, 0);
  PutWord(record, bex::kOffResetToOnes, 0xFFFFFFFFu);
}
