// bex_body.cpp - name list, user-group table and transaction-call table.
#include "reader/bex_body.h"

#include <cstring>

#include "base/mem.h"
#include "reader/bex_error.h"
#include "reader/bex_input.h"
#include "reader/bex_state.h"
#include "reader/bex_stream_store.h"
#include "reader/name_list.h"

void ReadNameListFromBex(BexInput &in, CNameListBase &names) {
  in.ReadExact(&names.header, sizeof names.header, "namelist");
  uint32_t length = 0;
  // Stored straight into the name list, which owns it even when the read of
  // its bytes fails half-way.
  ReadByteStreamFromBex(in, &names.pool, &length);
  names.poolLength = static_cast<int32_t>(length);
}

namespace {
// Reads a table's highest index (16 bits, tag) into *maxIndex and allocates
// its maxIndex + 1 entries into *table; raises error when that fails.  A
// negative index gives an empty table.
template <typename Entry>
Entry *ReadTableStart(BexInput &in, const char *tag, Entry **table, int16_t *maxIndex,
                      const char *allocationTag, int16_t error) {
  int16_t m = 0;
  in.ReadExact(&m, sizeof m, tag);
  *maxIndex = m;
  Entry *entries = nullptr;
  if (!MemAllocT(&entries, static_cast<int32_t>(m) + 1, allocationTag)) RaiseBexError("", error);
  *table = entries;
  return entries;
}
}  // namespace

void ReadUsrGrpFromBex(BexInput &in, bex::UsrGrpNode **table, int16_t *maxIndex,
                       BexStreamStore &streams) {
  bex::UsrGrpNode *nodes =
      ReadTableStart(in, "MAXUSRGRP", table, maxIndex, "ReadUsrGrpFromBex", kBexErrUsrGrpTable);
  for (int32_t i = 0; i <= *maxIndex; ++i) {
    bex::UsrGrpNode &node = nodes[i];
    // The file's record: its first ten bytes are replaced in memory, the
    // rest lands in the fields from firstTra on.
    uint8_t record[bex::kUsrGrpNodeFileSize];
    in.ReadExact(record, sizeof record, "USRGRPNODE");
    std::memcpy(&node.firstTra, record + bex::kOffNodeFirstTra, sizeof node.firstTra);
    std::memcpy(&node.lastTra, record + bex::kOffNodeLastTra, sizeof node.lastTra);
    std::memcpy(&node.reserved, record + bex::kOffNodeReserved, sizeof node.reserved);
    std::memcpy(node.attributes, record + bex::kOffNodeAttributes, sizeof node.attributes);

    uint32_t nameLength = 0;
    ReadByteStreamFromBex(in, &node.names, &nameLength, &streams);
    node.nameCount = static_cast<int32_t>(nameLength / 4);
    uint32_t valueLength = 0;
    ReadByteStreamFromBex(in, &node.values, &valueLength, &streams);
    node.userCount = UserCountFromLength(valueLength);
  }
}

void ReadTraCallNode(BexInput &in, bex::TraCallNode &entry) {
  in.ReadExact(&entry, sizeof entry, "TRACALLNODE");
}

void ReadTmpTraCallFromBex(BexInput &in, bex::TraCallNode **table, int16_t *maxIndex) {
  bex::TraCallNode *calls =
      ReadTableStart(in, "pMaxTra", table, maxIndex, "ReadTmpTraCallFromBex", kBexErrTraCallTable);
  for (int32_t i = 0; i <= *maxIndex; ++i) {
    ReadTraCallNode(in, calls[i]);
    SkipByteStream(in);
    calls[i].cleared20 = 0;
  }
}

void FreeUsrGrp(bex::UsrGrpNode *table, BexStreamStore &streams) {
  // The nodes' arrays all live in the store: one release for all of them.
  ReleaseStreams(streams);
  MemFree(table);
}

namespace {
void (*g_bodyTestHook)() = nullptr;
}  // namespace

void SetBexBodyTestHook(void (*hook)()) { g_bodyTestHook = hook; }

void ReadBexBody(BexInput &in, BexReaderState &state) {
  if (state.HasLeadingStream()) SkipByteStream(in);
  ReadNameListFromBex(in, *state.nameList);
  if (g_bodyTestHook != nullptr) g_bodyTestHook();
  ReadUsrGrpFromBex(in, &state.usrGrp, &state.maxUsrGrp, state.streams);
  ReadTmpTraCallFromBex(in, &state.traCall, &state.maxTra);
}
