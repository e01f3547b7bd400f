// bex_body.h - the body tables that follow a full numbered header.
#ifndef VBS_READER_BEX_BODY_H
#define VBS_READER_BEX_BODY_H

#include <cstdint>

#include "reader/bex_format.h"

class BexInput;
struct BexStreamStore;
class CNameListBase;
struct BexReaderState;

/// Reads the whole body into state: the leading stream (skipped) when the
/// header announces one, the name list, the user-group and the
/// transaction-call tables.  Whatever was read before a severe error stays
/// in state for FreeBexModel.
void ReadBexBody(BexInput &in, BexReaderState &state);

/// The namelist word and the name pool.
void ReadNameListFromBex(BexInput &in, CNameListBase &names);

/// The user-group table.  *table is set as soon as it is allocated, so a
/// failure inside the nodes leaves it for the release.  The nodes' name and
/// value arrays are taken from streams.  M below -1: 38.
void ReadUsrGrpFromBex(BexInput &in, bex::UsrGrpNode **table, int16_t *maxIndex,
                       BexStreamStore &streams);

/// The transaction-call table.  T below -1: 40.
void ReadTmpTraCallFromBex(BexInput &in, bex::TraCallNode **table, int16_t *maxIndex);

/// One 36-byte TRACALLNODE record.
void ReadTraCallNode(BexInput &in, bex::TraCallNode &entry);

/// Releases a user-group table and the store that holds the name and value
/// arrays of its nodes.
void FreeUsrGrp(bex::UsrGrpNode *table, BexStreamStore &streams);

/// Test support: hook is called inside ReadBexBody after the name list was
/// read (null, the default, calls nothing), so that a test can fault there.
void SetBexBodyTestHook(void (*hook)());

/// User count of a value stream of length bytes: the low 16 bits as a signed
/// number, divided by 4 toward zero.
inline int16_t UserCountFromLength(uint32_t length) {
  return static_cast<int16_t>(static_cast<int16_t>(length & 0xFFFF) / 4);
}

#endif  // VBS_READER_BEX_BODY_H
