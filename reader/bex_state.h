// bex_state.h - the one process-wide reader state.
#ifndef VBS_READER_BEX_STATE_H
#define VBS_READER_BEX_STATE_H

#include <cstdint>
#include <cstring>

#include "reader/bex_format.h"
#include "reader/bex_stream_store.h"

class CNameListBase;

/// Everything the exports share: the header record, the tables, the walk
/// cursors, the last-error text and the name list.  Zero at process start.
struct BexReaderState {
  uint8_t header[bex::kSimNodeSize];  // the SIMNODE record, file layout
  bex::UsrGrpNode *usrGrp;            // M + 1 nodes, null when absent
  int16_t maxUsrGrp;                  // M, the file's MAXUSRGRP
  // The node cursor is kept wider than the file's 16-bit index so that the
  // position after node 32767 is representable and the walk cannot wrap.
  int32_t nodeCursor;
  int16_t userCursor;                 // position inside the current node
  bex::TraCallNode *traCall;          // T + 1 calls, null when absent
  int16_t traCursor;                  // shared by every node's walk
  char lastError[500];                // LastRBexErr
  CNameListBase *nameList;            // owned
  int32_t bodyFlag;                   // 1 when the header carries a body
  int16_t maxTra;                     // T, the file's pMaxTra
  BexStreamStore streams;             // the nodes' name and value arrays

  uint32_t U32At(size_t offset) const {
    uint32_t v;
    std::memcpy(&v, header + offset, sizeof v);
    return v;
  }
  void SetU32At(size_t offset, uint32_t v) { std::memcpy(header + offset, &v, sizeof v); }
  uint32_t Version() const { return U32At(bex::kOffVersion); }
  uint32_t Flags() const { return U32At(bex::kOffFlags); }
  int32_t BenchmarkNameOffset() const { return static_cast<int32_t>(U32At(bex::kOffBenchmarkName)); }
  bool HasLeadingStream() const { return U32At(bex::kOffStreamIndicator) != 0; }
};

/// The process-wide instance.
BexReaderState &BexState();

#endif  // VBS_READER_BEX_STATE_H
