// bex_synthetic.h - large deterministic Bex files and deliberately broken variants.
#ifndef VBS_TOOLS_BEX_SYNTHETIC_H
#define VBS_TOOLS_BEX_SYNTHETIC_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/bex_writer.h"

namespace bexgen {

/// splitmix64: a small, fast, seedable generator whose output depends only on
/// the seed, so the same parameters always give the same file.
class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  /// Uniform in [0, bound); 0 when bound is 0.
  uint64_t Below(uint64_t bound);
  /// Uniform in [low, high]; low when high < low.
  uint64_t Between(uint64_t low, uint64_t high);

 private:
  uint64_t state_;
};

/// Relative weights of the three size classes of the byte streams that the
/// reader skips (one after every transaction call).  A class of weight 0 is
/// never drawn; all three 0 means every skipped stream is empty.
struct StreamMix {
  uint32_t small = 70;   // 0 to 64 bytes
  uint32_t medium = 25;  // 65 to 4096 bytes
  uint32_t large = 5;    // 4097 to 65536 bytes
};

/// What a synthetic file looks like.  The limits follow the format: at most
/// 32768 nodes and 32768 transaction calls (16-bit highest indexes), at most
/// 8191 users per node (the user count comes from a 16-bit stream length).
struct SyntheticParams {
  uint64_t seed = 1;
  /// Total file size to aim for.  The skipped streams absorb what the tables
  /// and the name pool leave; when the tables alone are larger the file is
  /// larger than the target.  0 means: no padding, skipped streams as drawn.
  uint64_t targetBytes = 1u << 20;
  uint32_t nodes = 256;
  uint32_t calls = 1024;
  /// Users per node.  With varyUsers each node draws its count uniformly from
  /// 0 to 2 × usersPerNode (so some nodes have no users at all).
  uint32_t usersPerNode = 4;
  bool varyUsers = true;
  StreamMix mix;
  /// Distinct names in the pool; user groups and calls pick from them.
  /// 0 gives every user group and every call a name of its own.
  uint32_t poolNames = 0;
  /// When set, the remainder of the size budget goes into the leading stream
  /// (which also exercises the stream indicator); otherwise into the last
  /// transaction call's skipped stream.
  bool leadingStream = true;
  uint32_t version = kVersionCurrent;
};

/// Checks params against the format's limits; returns an empty string when
/// they are usable, else what is wrong.
std::string CheckSyntheticParams(const SyntheticParams &params);

/// Builds the file described by params.  Deterministic: equal params give an
/// equal spec.  params must pass CheckSyntheticParams.
BexSpec SyntheticSpec(const SyntheticParams &params);

/// File size that WriteBex(spec) produces, computed without writing.
uint64_t SpecFileSize(const BexSpec &spec);

/// Where the structures of a well-formed full numbered file lie (byte offsets
/// into its image).
struct BexLayout {
  uint32_t headerLength = 0;
  std::optional<size_t> leadingStream;  // offset of the leading stream's length
  size_t namelist = 0;                  // the 4-byte namelist word
  size_t poolLength = 0;                // the pool stream's length word
  size_t maxUsrGrp = 0;                 // the 2-byte MAXUSRGRP
  struct Node {
    size_t record;       // the 32-byte USRGRPNODE
    size_t nameStream;   // its name stream's length word
    size_t valueStream;  // its value stream's length word
  };
  std::vector<Node> nodes;
  size_t maxTra = 0;  // the 2-byte pMaxTra
  struct Call {
    size_t record;   // the 36-byte TRACALLNODE
    size_t skipped;  // the skipped stream's length word
  };
  std::vector<Call> calls;
  size_t end = 0;  // first byte after the transaction-call table
};

/// Walks a full numbered file image the way a reader would and records where
/// everything lies.  Returns nothing when the image is not a complete,
/// well-formed full numbered file (header length 8 to 348, every count and
/// length inside the image).
std::optional<BexLayout> LocateLayout(const std::vector<uint8_t> &image);

/// A family of deliberate faults.  Each takes a good full numbered image and
/// changes what the name says; the comment gives what a reader must do.
enum class BrokenKind {
  kEmpty,               // no bytes at all: the version word cannot be read
  kThreeBytes,          // the first three bytes only
  kTruncated,           // cut at an offset (default: the middle of the file)
  kBadVersion,          // version word 891696615, not a multiple of ten
  kVersionAbove,        // version word 891696920, one step above the current one
  kTextFile,            // a text file, not a Bex file at all
  kHeaderLengthShort,   // header length L = 4 (< 8)
  kHeaderLengthLong,    // header length L = 400 (> 348)
  kHeaderLengthHuge,    // header length L = 0xFFFFFFF0
  kEarlyLengthLong,     // early numbered header, L = 400 (> 364)
  kEarlyLengthShort,    // early numbered header, L = 4
  kMaxUsrGrpMinus2,     // MAXUSRGRP = -2
  kMaxUsrGrpHuge,       // MAXUSRGRP = 32767 with the original few nodes
  kMaxTraMinus2,        // pMaxTra = -2
  kMaxTraHuge,          // pMaxTra = 32767 with the original few calls
  kPoolPastEnd,         // name pool length larger than the file
  kPoolHuge,            // name pool length 0xFFFFFFFF
  kLeadingPastEnd,      // leading (skipped) stream runs past the end of the file
  kSkippedPastEnd,      // the last call's skipped stream runs past the end
  kNameStreamPastEnd,   // node 0's name stream length larger than the file
  kValueStreamPastEnd,  // node 0's value stream length larger than the file
  kValueStreamSix,      // node 0's value stream is 6 bytes
  kNameShorterThanValue,// node 0's name stream 4 bytes shorter than its value stream
  kNameStreamEmpty,     // node 0's name stream empty, its value stream kept
  kValueStreamWraps,    // node 0's streams 32776 bytes: the 16-bit user count is negative
  kTraRangeOutside,     // node 0's transaction range -5 .. 32767
  kTraRangeReversed,    // node 0's transaction range 5 .. 4
  kNameOffsetsOutside,  // benchmark, user-group and call name offsets negative or past the pool
  kPoolUnterminated,    // the pool's last byte is not zero
  kTrailingGarbage,     // bytes after the transaction-call table (ignored by a reader)
};

struct BrokenKindInfo {
  BrokenKind kind;
  const char *name;         // command-line spelling, e.g. "maxusrgrp-minus2"
  const char *description;  // one line for --help
};

/// Every kind, in declaration order.
const std::vector<BrokenKindInfo> &BrokenKinds();

/// The kind spelled name, or nothing.
std::optional<BrokenKind> BrokenKindFromName(const std::string &name);

/// The faulty variant of good.  at is the cut offset of kTruncated (ignored
/// by the others; nothing means the middle).  Returns nothing when good is not
/// a well-formed full numbered image or lacks what the kind changes (for
/// example a node 0, or an offset inside the file).
std::optional<std::vector<uint8_t>> MakeBroken(const std::vector<uint8_t> &good, BrokenKind kind,
                                               std::optional<uint64_t> at = std::nullopt);

}  // namespace bexgen

#endif  // VBS_TOOLS_BEX_SYNTHETIC_H
