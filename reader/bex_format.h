// bex_format.h - record layouts and constants of the Bex file format.
#ifndef VBS_READER_BEX_FORMAT_H
#define VBS_READER_BEX_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace bex {

// Version words.  Every accepted value is a multiple of ten.
constexpr int32_t kVersionB = 891696450;           // 0x35263542 "B5&5"
constexpr int32_t kVersionV = 891696470;           // 0x35263556 "V5&5"
constexpr int32_t kVersionEarlyFirst = 891696480;  // early numbered headers: no body
constexpr int32_t kVersionEarlyLast = 891696610;
constexpr int32_t kVersionCurrent = 891696910;     // newest full numbered header

// The header record (SIMNODE) and its fields.
constexpr size_t kSimNodeSize = 348;
constexpr size_t kScratchSize = 364;         // early / V headers are read into this
constexpr size_t kOffVersion = 0;            // +0, 4: version word
constexpr size_t kOffLength = 4;             // +4, 4: header length L
constexpr size_t kOffBenchmarkName = 264;    // +264, 4: benchmark-name offset
constexpr size_t kOffFlags = 328;            // +328, 4: global flags word
constexpr size_t kOffStreamIndicator = 340;  // +340, 4: a byte stream precedes the name list
constexpr size_t kOffEarlyFlags = 348;       // early numbered header: flags in the scratch record

constexpr uint32_t kLengthB = 312;
constexpr uint32_t kLengthV = 340;

// Global-flag masks.
constexpr uint32_t kFlagMaskGroup1 = 0x7F000;
constexpr uint32_t kFlagMaskGroup2 = 0x42;
constexpr uint32_t kFlagMaskGroup3 = 0x4;
constexpr uint32_t kFlagMaskGroup4 = 0x8;

constexpr size_t kUsrGrpNodeFileSize = 32;
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
