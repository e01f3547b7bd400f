// bex_synthetic.cpp - large deterministic Bex files and deliberately broken variants.
//
// Sections: the generator (SplitMix64, names, SyntheticSpec), the size
// arithmetic (SpecFileSize), the layout walker (LocateLayout) and the broken
// family (MakeBroken).
#include "tools/bex_synthetic.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace bexgen {

// ---------------------------------------------------------------------------
// Generator
// ---------------------------------------------------------------------------

uint64_t SplitMix64::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t SplitMix64::Below(uint64_t bound) {
  // The modulo bias is irrelevant here: the files only need to be varied and
  // reproducible, not uniformly distributed.
  return bound == 0 ? 0 : Next() % bound;
}

uint64_t SplitMix64::Between(uint64_t low, uint64_t high) {
  if (high < low) return low;
  const uint64_t span = high - low;
  return span == std::numeric_limits<uint64_t>::max() ? Next() : low + Below(span + 1);
}

namespace {

constexpr uint32_t kMaxEntries = 32768;     // 16-bit highest index + 1
constexpr uint32_t kMaxUsersPerNode = 8191; // 8191 × 4 bytes stays below 32768
constexpr size_t kNodeRecordSize = bex::kUsrGrpNodeFileSize;
constexpr size_t kCallRecordSize = bex::kTraCallNodeSize;

bool IsFullNumbered(uint32_t version) { return bex::VariantOf(version) == bex::Variant::kFullNumbered; }

const char *const kGroupRoles[] = {"Shopper", "Browser", "Admin",    "Checkout", "Reporting",
                                   "Guest",   "Premium", "MobileApp", "Batch",   "ApiClient",
                                   "Support", "Auditor"};
const char *const kRegions[] = {"EU", "US", "APAC", "LATAM", "DE", "JP"};
const char *const kModules[] = {"TMain", "TCart", "TSearch", "TOrder", "TAccount", "TAdmin",
                                "TReport", "TPayment"};
const char *const kActions[] = {"Login",  "Logout",    "Search", "AddItem",   "RemoveItem",
                                "Submit", "ViewOrder", "Export", "Authorize", "Refresh"};
// 8-bit names as an ANSI code page (1252) stores them: tools must cope with
// bytes that are not UTF-8.
const char *const kAnsiNames[] = {"Bestell\xFC" "bersicht", "Kunden\xE4nderung", "R\xE9sum\xE9",
                                  "Stra\xDF" "e"};

template <size_t N>
const char *Pick(SplitMix64 &rng, const char *const (&list)[N]) {
  return list[rng.Below(N)];
}

std::string GroupName(SplitMix64 &rng, uint64_t serial) {
  std::string name = Pick(rng, kGroupRoles);
  name += '_';
  name += Pick(rng, kRegions);
  name += '_';
  name += std::to_string(serial);
  return name;
}

std::string CallName(SplitMix64 &rng, uint64_t serial) {
  std::string name = Pick(rng, kModules);
  name += '.';
  // One name in 64 carries 8-bit characters.
  name += rng.Below(64) == 0 ? Pick(rng, kAnsiNames) : Pick(rng, kActions);
  name += '_';
  name += std::to_string(serial);
  return name;
}

uint32_t DrawStreamSize(SplitMix64 &rng, const StreamMix &mix) {
  const uint64_t total = uint64_t{mix.small} + mix.medium + mix.large;
  if (total == 0) return 0;
  const uint64_t r = rng.Below(total);
  if (r < mix.small) return static_cast<uint32_t>(rng.Between(0, 64));
  if (r < uint64_t{mix.small} + mix.medium) return static_cast<uint32_t>(rng.Between(65, 4096));
  return static_cast<uint32_t>(rng.Between(4097, 65536));
}

std::vector<uint8_t> RandomBytes(SplitMix64 &rng, uint64_t n) {
  std::vector<uint8_t> bytes(static_cast<size_t>(n));
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    const uint64_t v = rng.Next();
    std::memcpy(&bytes[i], &v, 8);
  }
  if (i < bytes.size()) {
    const uint64_t v = rng.Next();
    std::memcpy(&bytes[i], &v, bytes.size() - i);
  }
  return bytes;
}

// Names come either from a shared set (poolNames > 0) or one per reference.
class NameSource {
 public:
  NameSource(SplitMix64 &rng, NamePool &pool, uint32_t distinct) : rng_(rng), pool_(pool) {
    if (distinct == 0) return;
    const uint32_t groups = std::max<uint32_t>(1, distinct / 2);
    const uint32_t calls = std::max<uint32_t>(1, distinct - groups);
    for (uint32_t i = 0; i < groups; ++i) groupOffsets_.push_back(pool_.Add(GroupName(rng_, i)));
    for (uint32_t i = 0; i < calls; ++i) callOffsets_.push_back(pool_.Add(CallName(rng_, i)));
  }
  int32_t Group() {
    if (groupOffsets_.empty()) return pool_.Add(GroupName(rng_, serial_++));
    return groupOffsets_[rng_.Below(groupOffsets_.size())];
  }
  int32_t Call() {
    if (callOffsets_.empty()) return pool_.Add(CallName(rng_, serial_++));
    return callOffsets_[rng_.Below(callOffsets_.size())];
  }

 private:
  SplitMix64 &rng_;
  NamePool &pool_;
  std::vector<int32_t> groupOffsets_;
  std::vector<int32_t> callOffsets_;
  uint64_t serial_ = 0;
};

}  // namespace

std::string CheckSyntheticParams(const SyntheticParams &params) {
  if (params.nodes > kMaxEntries) return "at most 32768 nodes";
  if (params.calls > kMaxEntries) return "at most 32768 transaction calls";
  if (params.usersPerNode > kMaxUsersPerNode ||
      (params.varyUsers && 2 * uint64_t{params.usersPerNode} > kMaxUsersPerNode))
    return "at most 8191 users per node (with varied users: at most 4095 on average)";
  if (!IsFullNumbered(params.version))
    return "the version must be a full numbered one (891696620 to 891696910, a multiple of 10)";
  return "";
}

BexSpec SyntheticSpec(const SyntheticParams &params) {
  SplitMix64 rng(params.seed);
  BexSpec spec;
  spec.version = params.version;
  spec.headerLength = kSimNodeSize;
  static const uint32_t kFlagBits[] = {0x7F000, 0x42, 0x4, 0x8, 0x1};
  for (uint32_t bit : kFlagBits)
    if (rng.Below(2) != 0) spec.flags |= bit;
  spec.namelistWord = static_cast<uint32_t>(rng.Next());

  NamePool pool;
  spec.benchmarkOffset = pool.Add("SyntheticBenchmark_" + std::to_string(params.seed));
  NameSource names(rng, pool, params.poolNames);

  spec.nodes.resize(params.nodes);
  for (uint32_t i = 0; i < params.nodes; ++i) {
    NodeSpec &node = spec.nodes[i];
    const uint64_t users =
        params.varyUsers ? rng.Between(0, 2 * uint64_t{params.usersPerNode}) : params.usersPerNode;
    node.names.reserve(users);
    node.values.reserve(users);
    for (uint64_t u = 0; u < users; ++u) {
      node.names.push_back(names.Group());
      node.values.push_back(static_cast<uint32_t>(rng.Between(1, 1000)));
    }
    // The calls are shared out in contiguous ranges; with more nodes than
    // calls some ranges are empty (first = last + 1).
    const uint64_t first = uint64_t{i} * params.calls / params.nodes;
    const uint64_t next = uint64_t{i + 1} * params.calls / params.nodes;
    node.firstTra = static_cast<int16_t>(first);
    node.lastTra = static_cast<int16_t>(static_cast<int64_t>(next) - 1);
    node.reserved = static_cast<uint16_t>(rng.Next());
    node.attributes[0] = static_cast<uint32_t>(rng.Below(100));      // weight
    node.attributes[1] = static_cast<uint32_t>(rng.Below(2));        // switch
    node.attributes[2] = static_cast<uint32_t>(rng.Between(0, 60000));  // think time, ms
    node.attributes[3] = static_cast<uint32_t>(rng.Next());
  }

  std::vector<uint32_t> drawn(params.calls);
  uint64_t drawnTotal = 0;
  spec.calls.resize(params.calls);
  for (uint32_t i = 0; i < params.calls; ++i) {
    TraCallSpec &call = spec.calls[i];
    call.nameOffset = names.Call();
    call.value = static_cast<uint32_t>(rng.Between(0, 100000));
    call.word20 = static_cast<uint32_t>(rng.Next());
    drawn[i] = DrawStreamSize(rng, params.mix);
    drawnTotal += drawn[i];
  }
  spec.pool = pool.Bytes();
  if (params.leadingStream) spec.leadingStream = std::vector<uint8_t>{};

  // Share the size budget out in proportion to the drawn sizes, so the mix
  // keeps its shape at any target; the rounding remainder goes into one
  // stream so that the file hits the target exactly.
  const uint64_t base = SpecFileSize(spec);
  std::vector<uint64_t> sizes(drawn.begin(), drawn.end());
  uint64_t remainder = 0;
  if (params.targetBytes != 0) {
    const uint64_t budget = params.targetBytes > base ? params.targetBytes - base : 0;
    uint64_t used = 0;
    for (uint64_t &s : sizes) {
      // floor(s × budget / drawnTotal) without overflow: the second product
      // stays below 2^31 × 2^17.
      s = drawnTotal == 0 ? 0
                          : (budget / drawnTotal) * s + (budget % drawnTotal) * s / drawnTotal;
      used += s;
    }
    remainder = budget - std::min(budget, used);
  }
  for (uint32_t i = 0; i < params.calls; ++i) spec.calls[i].skipped = RandomBytes(rng, sizes[i]);
  if (spec.leadingStream) {
    *spec.leadingStream = RandomBytes(rng, remainder);
  } else if (!spec.calls.empty()) {
    std::vector<uint8_t> extra = RandomBytes(rng, remainder);
    auto &last = spec.calls.back().skipped;
    last.insert(last.end(), extra.begin(), extra.end());
  }
  return spec;
}

uint64_t SpecFileSize(const BexSpec &spec) {
  uint64_t size = spec.headerLength;
  if (spec.leadingStream) size += 4 + spec.leadingStream->size();
  size += 4 + 4 + spec.pool.size();
  size += 2;
  for (const NodeSpec &node : spec.nodes) {
    size += kNodeRecordSize;
    size += 4 + (node.nameStream ? node.nameStream->size() : node.names.size() * 4);
    size += 4 + (node.valueStream ? node.valueStream->size() : node.values.size() * 4);
  }
  size += 2;
  for (const TraCallSpec &call : spec.calls) size += kCallRecordSize + 4 + call.skipped.size();
  return size;
}

// ---------------------------------------------------------------------------
// Layout walker
// ---------------------------------------------------------------------------

namespace {

uint32_t GetU32(const std::vector<uint8_t> &b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

int16_t GetI16(const std::vector<uint8_t> &b, size_t at) {
  return static_cast<int16_t>(uint16_t{b[at]} | uint16_t(b[at + 1] << 8));
}

void PutI16(std::vector<uint8_t> &b, size_t at, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  b[at] = static_cast<uint8_t>(u);
  b[at + 1] = static_cast<uint8_t>(u >> 8);
}

// Bounds-checked cursor over an image: every step fails instead of running
// past the end.
class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t> &image) : image_(image) {}
  size_t Pos() const { return pos_; }
  bool Has(uint64_t n) const { return n <= image_.size() - pos_; }
  bool Skip(uint64_t n) {
    if (!Has(n)) return false;
    pos_ += static_cast<size_t>(n);
    return true;
  }
  bool U32(uint32_t *v) {
    if (!Has(4)) return false;
    *v = GetU32(image_, pos_);
    pos_ += 4;
    return true;
  }
  bool I16(int16_t *v) {
    if (!Has(2)) return false;
    *v = GetI16(image_, pos_);
    pos_ += 2;
    return true;
  }
  bool Stream() {
    uint32_t n = 0;
    return U32(&n) && Skip(n);
  }

 private:
  const std::vector<uint8_t> &image_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<BexLayout> LocateLayout(const std::vector<uint8_t> &image) {
  if (image.size() < 8) return std::nullopt;
  const uint32_t version = GetU32(image, bex::kOffVersion);
  const uint32_t length = GetU32(image, bex::kOffLength);
  if (!IsFullNumbered(version) || length < bex::kOffHeaderData || length > kSimNodeSize || image.size() < length)
    return std::nullopt;
  BexLayout layout;
  layout.headerLength = length;
  Cursor c(image);
  c.Skip(length);
  // A header too short for the stream indicator leaves it zero.
  if (length >= bex::kOffStreamIndicator + 4 && GetU32(image, bex::kOffStreamIndicator) != 0) {
    layout.leadingStream = c.Pos();
    if (!c.Stream()) return std::nullopt;
  }
  layout.namelist = c.Pos();
  if (!c.Skip(4)) return std::nullopt;
  layout.poolLength = c.Pos();
  if (!c.Stream()) return std::nullopt;
  layout.maxUsrGrp = c.Pos();
  int16_t m = 0;
  if (!c.I16(&m) || m < -1) return std::nullopt;
  for (int i = 0; i <= m; ++i) {
    BexLayout::Node node{c.Pos(), 0, 0};
    if (!c.Skip(kNodeRecordSize)) return std::nullopt;
    node.nameStream = c.Pos();
    if (!c.Stream()) return std::nullopt;
    node.valueStream = c.Pos();
    if (!c.Stream()) return std::nullopt;
    layout.nodes.push_back(node);
  }
  layout.maxTra = c.Pos();
  int16_t t = 0;
  if (!c.I16(&t) || t < -1) return std::nullopt;
  for (int i = 0; i <= t; ++i) {
    BexLayout::Call call{c.Pos(), 0};
    if (!c.Skip(kCallRecordSize)) return std::nullopt;
    call.skipped = c.Pos();
    if (!c.Stream()) return std::nullopt;
    layout.calls.push_back(call);
  }
  layout.end = c.Pos();
  return layout;
}

// ---------------------------------------------------------------------------
// Broken family
// ---------------------------------------------------------------------------

const std::vector<BrokenKindInfo> &BrokenKinds() {
  static const std::vector<BrokenKindInfo> kinds = {
      {BrokenKind::kEmpty, "empty", "a file of 0 bytes"},
      {BrokenKind::kThreeBytes, "three-bytes", "the first 3 bytes only"},
      {BrokenKind::kTruncated, "truncated", "cut at --at OFFSET (default: the middle)"},
      {BrokenKind::kBadVersion, "bad-version", "version word 891696615 (not a multiple of ten)"},
      {BrokenKind::kVersionAbove, "version-above", "version word 891696920 (above the current)"},
      {BrokenKind::kTextFile, "text-file", "a plain text file"},
      {BrokenKind::kHeaderLengthShort, "header-length-short", "header length L = 4"},
      {BrokenKind::kHeaderLengthLong, "header-length-long", "header length L = 400"},
      {BrokenKind::kHeaderLengthHuge, "header-length-huge", "header length L = 0xFFFFFFF0"},
      {BrokenKind::kEarlyLengthLong, "early-length-long", "early numbered header, L = 400"},
      {BrokenKind::kEarlyLengthShort, "early-length-short", "early numbered header, L = 4"},
      {BrokenKind::kMaxUsrGrpMinus2, "maxusrgrp-minus2", "MAXUSRGRP = -2"},
      {BrokenKind::kMaxUsrGrpHuge, "maxusrgrp-huge", "MAXUSRGRP = 32767, nodes unchanged"},
      {BrokenKind::kMaxTraMinus2, "pmaxtra-minus2", "pMaxTra = -2"},
      {BrokenKind::kMaxTraHuge, "pmaxtra-huge", "pMaxTra = 32767, calls unchanged"},
      {BrokenKind::kPoolPastEnd, "pool-past-end", "name pool length larger than the file"},
      {BrokenKind::kPoolHuge, "pool-huge", "name pool length 0xFFFFFFFF"},
      {BrokenKind::kLeadingPastEnd, "leading-past-end", "leading stream runs past the end"},
      {BrokenKind::kSkippedPastEnd, "skipped-past-end", "last call's skipped stream runs past the end"},
      {BrokenKind::kNameStreamPastEnd, "name-stream-past-end", "node 0 name stream longer than the file"},
      {BrokenKind::kValueStreamPastEnd, "value-stream-past-end", "node 0 value stream longer than the file"},
      {BrokenKind::kValueStreamSix, "value-stream-six", "node 0 value stream of 6 bytes"},
      {BrokenKind::kNameShorterThanValue, "name-shorter", "node 0 name stream 4 bytes shorter than its value stream"},
      {BrokenKind::kNameStreamEmpty, "name-stream-empty", "node 0 name stream empty, values kept"},
      {BrokenKind::kValueStreamWraps, "value-stream-wraps", "node 0 streams of 32776 bytes (negative 16-bit count)"},
      {BrokenKind::kTraRangeOutside, "tra-range-outside", "node 0 transaction range -5 .. 32767"},
      {BrokenKind::kTraRangeReversed, "tra-range-reversed", "node 0 transaction range 5 .. 4"},
      {BrokenKind::kNameOffsetsOutside, "name-offsets-outside", "name offsets negative, at and past the pool end"},
      {BrokenKind::kPoolUnterminated, "pool-unterminated", "the pool's last byte is not zero"},
      {BrokenKind::kTrailingGarbage, "trailing-garbage", "64 bytes after the transaction-call table"},
  };
  return kinds;
}

std::optional<BrokenKind> BrokenKindFromName(const std::string &name) {
  for (const BrokenKindInfo &info : BrokenKinds())
    if (name == info.name) return info.kind;
  return std::nullopt;
}

namespace {

// Replaces the byte stream whose length word is at lengthAt with data; the
// rest of the image moves accordingly.
void ReplaceStream(std::vector<uint8_t> &image, size_t lengthAt, const std::vector<uint8_t> &data) {
  const size_t old = GetU32(image, lengthAt);
  const auto begin = image.begin() + static_cast<std::ptrdiff_t>(lengthAt + 4);
  image.erase(begin, begin + static_cast<std::ptrdiff_t>(old));
  image.insert(image.begin() + static_cast<std::ptrdiff_t>(lengthAt + 4), data.begin(), data.end());
  PutU32(image, lengthAt, static_cast<uint32_t>(data.size()));
}

std::vector<uint8_t> StreamBytes(const std::vector<uint8_t> &image, size_t lengthAt) {
  const size_t n = GetU32(image, lengthAt);
  const auto begin = image.begin() + static_cast<std::ptrdiff_t>(lengthAt + 4);
  return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(n));
}

// A length that lies beyond the end of the file however the reader counts.
uint32_t PastEnd(const std::vector<uint8_t> &image) {
  return static_cast<uint32_t>(std::min<uint64_t>(image.size() + 1000, 0x7FFFFFFF));
}

}  // namespace

std::optional<std::vector<uint8_t>> MakeBroken(const std::vector<uint8_t> &good, BrokenKind kind,
                                               std::optional<uint64_t> at) {
  if (kind == BrokenKind::kTextFile) {
    const char text[] = "This is a text file, not a compiled load-test script.\r\n";
    return std::vector<uint8_t>(text, text + sizeof text - 1);
  }
  if (kind == BrokenKind::kEarlyLengthLong) return WriteEarlyHeader(kVersionEarlyLast, 400, 0x4F);
  if (kind == BrokenKind::kEarlyLengthShort) return WriteEarlyHeader(kVersionEarlyFirst, 4, 0);

  const std::optional<BexLayout> layout = LocateLayout(good);
  if (!layout) return std::nullopt;
  std::vector<uint8_t> image = good;
  const bool hasNode = !layout->nodes.empty();
  const size_t node0 = hasNode ? layout->nodes[0].record : 0;

  // The kinds that overwrite one word of the good image: where (none when
  // the image lacks the place), with what, and whether the word is 32 bits
  // wide (else 16).
  struct Overwrite {
    BrokenKind kind;
    std::optional<size_t> at;
    uint32_t value;
    bool wide;
  };
  const auto ofNode0 = [&](size_t BexLayout::Node::*stream) -> std::optional<size_t> {
    if (!hasNode) return std::nullopt;
    return layout->nodes[0].*stream;
  };
  const std::optional<size_t> lastSkipped =
      layout->calls.empty() ? std::nullopt : std::optional<size_t>(layout->calls.back().skipped);
  const uint32_t pastEnd = PastEnd(image);
  const Overwrite overwrites[] = {
      {BrokenKind::kBadVersion, bex::kOffVersion, 891696615, true},
      {BrokenKind::kVersionAbove, bex::kOffVersion, kVersionCurrent + 10, true},
      {BrokenKind::kHeaderLengthShort, bex::kOffLength, 4, true},
      {BrokenKind::kHeaderLengthLong, bex::kOffLength, 400, true},
      {BrokenKind::kHeaderLengthHuge, bex::kOffLength, 0xFFFFFFF0, true},
      {BrokenKind::kMaxUsrGrpMinus2, layout->maxUsrGrp, static_cast<uint16_t>(-2), false},
      {BrokenKind::kMaxUsrGrpHuge, layout->maxUsrGrp, 32767, false},
      {BrokenKind::kMaxTraMinus2, layout->maxTra, static_cast<uint16_t>(-2), false},
      {BrokenKind::kMaxTraHuge, layout->maxTra, 32767, false},
      {BrokenKind::kPoolPastEnd, layout->poolLength, pastEnd, true},
      {BrokenKind::kPoolHuge, layout->poolLength, 0xFFFFFFFF, true},
      {BrokenKind::kLeadingPastEnd, layout->leadingStream, pastEnd, true},
      {BrokenKind::kSkippedPastEnd, lastSkipped, pastEnd, true},
      {BrokenKind::kNameStreamPastEnd, ofNode0(&BexLayout::Node::nameStream), pastEnd, true},
      {BrokenKind::kValueStreamPastEnd, ofNode0(&BexLayout::Node::valueStream), pastEnd, true},
  };
  for (const Overwrite &o : overwrites) {
    if (o.kind != kind) continue;
    if (!o.at) return std::nullopt;
    if (o.wide) {
      PutU32(image, *o.at, o.value);
    } else {
      PutI16(image, *o.at, static_cast<int16_t>(o.value));
    }
    return image;
  }

  switch (kind) {
    case BrokenKind::kEmpty:
      return std::vector<uint8_t>{};
    case BrokenKind::kThreeBytes:
      image.resize(3);
      return image;
    case BrokenKind::kTruncated: {
      const uint64_t cut = at ? *at : image.size() / 2;
      if (cut >= image.size()) return std::nullopt;
      image.resize(static_cast<size_t>(cut));
      return image;
    }
    case BrokenKind::kValueStreamSix: {
      if (!hasNode) return std::nullopt;
      std::vector<uint8_t> values = StreamBytes(image, layout->nodes[0].valueStream);
      values.resize(6, 0xFF);
      ReplaceStream(image, layout->nodes[0].valueStream, values);
      return image;
    }
    case BrokenKind::kNameShorterThanValue:
    case BrokenKind::kNameStreamEmpty: {
      if (!hasNode) return std::nullopt;
      const size_t valueLength = GetU32(image, layout->nodes[0].valueStream);
      if (valueLength < 4) return std::nullopt;
      std::vector<uint8_t> names = StreamBytes(image, layout->nodes[0].nameStream);
      names.resize(kind == BrokenKind::kNameStreamEmpty ? 0 : valueLength - 4, 0);
      ReplaceStream(image, layout->nodes[0].nameStream, names);
      return image;
    }
    case BrokenKind::kValueStreamWraps: {
      if (!hasNode) return std::nullopt;
      // The value stream is replaced first: it lies behind the name stream,
      // so the name stream's offset is still right afterwards.
      constexpr size_t kWrapLength = 32776;  // low 16 bits as int16: -32760
      std::vector<uint8_t> values = StreamBytes(image, layout->nodes[0].valueStream);
      std::vector<uint8_t> names = StreamBytes(image, layout->nodes[0].nameStream);
      std::vector<uint8_t> longValues(kWrapLength), longNames(kWrapLength);
      for (size_t i = 0; i < kWrapLength; ++i) {
        longValues[i] = values.empty() ? static_cast<uint8_t>(i) : values[i % values.size()];
        longNames[i] = names.empty() ? 0 : names[i % names.size()];
      }
      ReplaceStream(image, layout->nodes[0].valueStream, longValues);
      ReplaceStream(image, layout->nodes[0].nameStream, longNames);
      return image;
    }
    case BrokenKind::kTraRangeOutside:
    case BrokenKind::kTraRangeReversed: {
      if (!hasNode) return std::nullopt;
      const bool outside = kind == BrokenKind::kTraRangeOutside;
      PutI16(image, node0 + bex::kOffNodeFirstTra, outside ? -5 : 5);
      PutI16(image, node0 + bex::kOffNodeLastTra, outside ? 32767 : 4);
      return image;
    }
    case BrokenKind::kNameOffsetsOutside: {
      const uint32_t poolLength = GetU32(image, layout->poolLength);
      // Negative, exactly at the pool end (the byte after the pool), just
      // past it and as far away as possible.
      const uint32_t offsets[] = {0x80000000u, poolLength, poolLength + 1, 0x7FFFFFFFu,
                                  0xFFFFFFFFu};
      if (layout->headerLength >= bex::kOffBenchmarkName + 4) PutU32(image, bex::kOffBenchmarkName, offsets[0]);
      size_t k = 1;
      for (const BexLayout::Node &node : layout->nodes) {
        const size_t n = GetU32(image, node.nameStream) / 4;
        for (size_t i = 0; i < n; ++i) PutU32(image, node.nameStream + 4 + 4 * i, offsets[k++ % 5]);
      }
      for (const BexLayout::Call &call : layout->calls) PutU32(image, call.record, offsets[k++ % 5]);
      return image;
    }
    case BrokenKind::kPoolUnterminated: {
      const uint32_t poolLength = GetU32(image, layout->poolLength);
      if (poolLength == 0) return std::nullopt;
      image[layout->poolLength + 4 + poolLength - 1] = 'Z';
      return image;
    }
    case BrokenKind::kTrailingGarbage:
      image.insert(image.end(), 64, 0xEE);
      return image;
    default:
      break;  // handled above: the overwrites, and the kinds that do not start from the good image
  }
  return std::nullopt;
}

}  // namespace bexgen
