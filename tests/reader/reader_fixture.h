// reader_fixture.h - shared fixture and helpers of the reader tests.
#ifndef VBS_TESTS_READER_FIXTURE_H
#define VBS_TESTS_READER_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/mem.h"
#include "messages/event_log.h"
#include "support/temp_dir.h"
#include "tools/bex_writer.h"
#include "vortBexScanner.h"

/// The last-error text of a short or failed read of tag, with vortMessages
/// beside the test program.
inline std::string ReadFailureText(const std::string &tag) {
  return "Severe Error RESERR: 170 - Reading " + tag +
         " from the Bex file failed or came up short.(170) in vortBexScanner.dll";
}

/// Every event the reader reports, as the event sink sees it.
struct SeenEvent {
  std::string machine, source;
  uint16_t type;
  uint32_t id;
  std::vector<std::string> strings;
};
inline std::vector<SeenEvent> &SeenEvents() {
  static std::vector<SeenEvent> events;
  return events;
}
/// Keeps the reports and accepts every call: no test writes to the system's log.
inline int KeepEvents(void *, const SalEventCall &call) {
  if (call.kind == SalEventCall::kReport) {
    SeenEvent e{call.machine, call.source, call.type, call.id, {}};
    for (uint16_t i = 0; i < call.count; ++i) e.strings.emplace_back(call.strings[i]);
    SeenEvents().push_back(e);
  }
  return 1;
}

/// One user group as the walk delivers it.
struct WalkedGroup {
  std::string name;
  uint32_t value;
  uint16_t node, position;
  uint32_t attributes[4];
  bool operator==(const WalkedGroup &o) const {
    return name == o.name && value == o.value && node == o.node && position == o.position &&
           std::equal(attributes, attributes + 4, o.attributes);
  }
};
inline std::ostream &operator<<(std::ostream &os, const WalkedGroup &g) {
  return os << "{" << g.name << "," << g.value << ",node " << g.node << ",pos " << g.position << "}";
}

/// Every user group from GetFirstUserGroup on, at most limit of them.
inline std::vector<WalkedGroup> WalkGroups(size_t limit = 1u << 20) {
  std::vector<WalkedGroup> out;
  WalkedGroup g{};
  char name[256];
  uint32_t *a = g.attributes;
  for (int32_t more = GetFirstUserGroup(name, sizeof name, &g.value, &g.node, &g.position, &a[0], &a[1], &a[2], &a[3]);
       more != 0 && out.size() < limit;
       more = GetNextUserGroup(name, sizeof name, &g.value, &g.node, &g.position, &a[0], &a[1], &a[2], &a[3])) {
    g.name = name;
    out.push_back(g);
  }
  return out;
}

/// The transaction calls of node, as (name, value).
inline std::vector<std::pair<std::string, uint32_t>> WalkCalls(int16_t node) {
  std::vector<std::pair<std::string, uint32_t>> out;
  char name[256];
  uint32_t value = 0;
  for (int32_t more = GetFirstTraCall(node, name, sizeof name, &value); more != 0;
       more = GetNextTraCall(node, name, sizeof name, &value))
    out.emplace_back(name, value);
  return out;
}

/// The text at offset of a pool, computed from the pool bytes alone.
inline std::string PoolText(const std::vector<uint8_t> &pool, int32_t offset) {
  std::string s;
  for (size_t i = static_cast<size_t>(offset); i < pool.size() && pool[i] != 0; ++i) s += static_cast<char>(pool[i]);
  return s;
}

/// What the walk must deliver for plan: every position of every node with users.
inline std::vector<WalkedGroup> ExpectedGroups(const bexgen::BexSpec &plan) {
  std::vector<WalkedGroup> out;
  for (size_t n = 0; n < plan.nodes.size(); ++n) {
    const bexgen::NodeSpec &node = plan.nodes[n];
    for (size_t p = 0; p < node.values.size(); ++p) {
      WalkedGroup g{p < node.names.size() ? PoolText(plan.pool, node.names[p]) : "XUNDEF", node.values[p],
                    static_cast<uint16_t>(n), static_cast<uint16_t>(p), {}};
      std::copy(node.attributes, node.attributes + 4, g.attributes);
      out.push_back(g);
    }
  }
  return out;
}

/// Writes files into a private folder, reads them, and releases the model
/// and every test hook afterwards, checking that nothing leaked.
class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeBex();
    SeenEvents().clear();
    SalSetEventSink(&KeepEvents, nullptr);
    baseline_ = SalMemLiveBlocks();
  }
  void TearDown() override {
    FreeBex();
    SalMemFailAfter(0);
    SalSetEventSink(nullptr, nullptr);
    EXPECT_EQ(SalMemLiveBlocks(), baseline_) << "the model leaked";
  }
  std::string Write(const std::vector<uint8_t> &bytes, const std::string &name = "t.bex") {
    return dir_.Write(name, bytes);
  }
  int32_t Read(const std::vector<uint8_t> &bytes) { return ReadBex(Write(bytes).c_str()); }
  int32_t Read(const bexgen::BexSpec &plan) { return Read(bexgen::WriteBex(plan)); }
  std::string Error() const { return LastRBexErr(); }
  uint32_t Flags() const {
    uint32_t flags = 0;
    GetBexInfo(nullptr, &flags);
    return flags;
  }

  TempDir dir_;
  int64_t baseline_ = 0;
};

#endif  // VBS_TESTS_READER_FIXTURE_H
