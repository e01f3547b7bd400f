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

void ReadUsrGrpFromBex(BexInput &in, bex::UsrGrpNode **table, int16_t *maxIndex,
                       BexStreamStore &streams) {
  int16_t m = 0;
  in.ReadExact(&m, sizeof m, "MAXUSRGRP");
  *maxIndex = m;
  bex::UsrGrpNode *nodes = nullptr;
  if (!MemAllocT(&nodes, static_cast<int32_t>(m) + 1, "ReadUsrGrpFromBex"))
    RaiseBexError("", kBexErrUsrGrpTable);
  *table = nodes;
  for (int32_t i = 0; i <= m; ++i) {
    bex::UsrGrpNode &node = nodes[i];
    // The file's record: +0..+9 are replaced in memory, +10..+31 land in
    // the fields from firstTra on.
    uint8_t record[bex::kUsrGrpNodeFileSize];
    in.ReadExact(record, sizeof record, "USRGRPNODE");
    std::memcpy(&node.firstTra, record + 10, 2);
    std::memcpy(&node.lastTra, record + 12, 2);
    std::memcpy(&node.reserved, record + 14, 2);
    std::memcpy(node.attributes, record + 16, 16);

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
  int16_t t = 0;
  in.ReadExact(&t, sizeof t, "pMaxTra");
  *maxIndex = t;
  bex::TraCallNode *calls = nullptr;
  if (!MemAllocT(&calls, static_cast<int32_t>(t) + 1, "ReadTmpTraCallFromBex"))
    RaiseBexError("", kBexErrTraCallTable);
  *table = calls;
  for (int32_t i = 0; i <= t; ++i) {
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
