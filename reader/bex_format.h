// bex_format.h - record layouts and constants of the Bex file format.
#ifndef VBS_READER_BEX_FORMAT_H
#define VBS_READER_BEX_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace bex {

// Version words.  Every accepted value is a multiple of ten.
constexpr uint32_t kVersionB = 891696450;           // 0x35263542 "B5&5"
constexpr uint32_t kVersionV = 891696470;           // 0x35263556 "V5&5"
constexpr uint32_t kVersionEarlyFirst = 891696480;  // early numbered headers: no body
constexpr uint32_t kVersionEarlyLast = 891696610;
constexpr uint32_t kVersionFullFirst = 891696620;   // full numbered headers: a body follows
constexpr uint32_t kVersionCurrent = 891696910;     // newest full numbered header

/// The header variants, told apart by the version word.
enum class Variant { kB, kV, kEarlyNumbered, kFullNumbered, kUnknown };

constexpr Variant VariantOf(uint32_t version) {
  if (version == kVersionB) return Variant::kB;
  if (version == kVersionV) return Variant::kV;
  if (version % 10 != 0) return Variant::kUnknown;
  if (version >= kVersionEarlyFirst && version <= kVersionEarlyLast) return Variant::kEarlyNumbered;
  if (version >= kVersionFullFirst && version <= kVersionCurrent) return Variant::kFullNumbered;
  return Variant::kUnknown;
}

// The header record (SIMNODE) and its fields.
constexpr size_t kSimNodeSize = 348;
constexpr size_t kScratchSize = 364;         // early / V headers are read into this
constexpr size_t kOffVersion = 0;            // +0, 4: version word
constexpr size_t kOffLength = 4;             // +4, 4: header length L
constexpr size_t kOffHeaderData = 8;         // +8: the header's data after version and length
constexpr size_t kOffBenchmarkName = 264;    // +264, 4: benchmark-name offset
constexpr size_t kOffFlags = 328;            // +328, 4: global flags word
constexpr size_t kOffStreamIndicator = 340;  // +340, 4: a byte stream precedes the name list
constexpr size_t kOffEarlyFlags = 348;       // early numbered header: flags in the scratch record
// Words that ReadSimNodeFromBex resets in a record it reads: to 0, and to
// 0xFFFFFFFF.
constexpr size_t kOffResetToZero[] = {268, 276, 280, 288, 292, 296};
constexpr size_t kOffResetToOnes = 332;

constexpr uint32_t kLengthB = 312;
constexpr uint32_t kLengthV = 340;
// The B header: version word, two switch words, then kBDataSize bytes that
// land at kOffHeaderData.  The V header: version word, then kVRestSize bytes
// read into the scratch record at kOffHeaderData, whose first three words
// are the switches.
constexpr size_t kBSwitchCount = 2;
constexpr size_t kBDataSize = 300;
constexpr size_t kVRestSize = 332;
constexpr size_t kVSwitchCount = 3;

// Global-flag masks.
constexpr uint32_t kFlagMaskGroup1 = 0x7F000;
constexpr uint32_t kFlagMaskGroup2 = 0x42;
constexpr uint32_t kFlagMaskGroup3 = 0x4;
constexpr uint32_t kFlagMaskGroup4 = 0x8;

// The user-group node's 32-byte file record.
constexpr size_t kUsrGrpNodeFileSize = 32;
constexpr size_t kOffNodeFirstTra = 10;     // +10, 2
constexpr size_t kOffNodeLastTra = 12;      // +12, 2
constexpr size_t kOffNodeReserved = 14;     // +14, 2
constexpr size_t kOffNodeAttributes = 16;   // +16, 16
constexpr size_t kTraCallNodeSize = 36;

/// In-memory user-group node.  The file's 32-byte record lands in the
/// fields from firstTra on; the leading three are replaced by the reader.
struct UsrGrpNode {
  int32_t *names;       // file +0: name offsets, one per user group; null when empty
  uint32_t *values;     // file +4: values, paired with names by position; null when empty
  int16_t userCount;    // file +8: from the value stream's length, 16-bit rule
  int16_t firstTra;     // +10, 2: first transaction index (inclusive)
  int16_t lastTra;      // +12, 2: last transaction index (inclusive)
  uint16_t reserved;    // +14, 2: carried, not interpreted
  uint32_t attributes[4];  // +16, 16: attribute 1..4 in file order
  int32_t nameCount;    // names held by the name stream (may be fewer than users)
};

/// In-memory transaction call, the 36 file bytes unchanged but for +20.
struct TraCallNode {
  int32_t nameOffset;   // +0, 4: the call's name
  uint32_t unused4;     // +4, 4: not interpreted
  uint32_t value;       // +8, 4: delivered with the name
  uint32_t unused12[2]; // +12, 8: not interpreted
  uint32_t cleared20;   // +20, 4: cleared after reading
  uint32_t unused24[3]; // +24, 12: not interpreted
};
static_assert(sizeof(TraCallNode) == kTraCallNodeSize, "TRACALLNODE is read in place");

}  // namespace bex

#endif  // VBS_READER_BEX_FORMAT_H
