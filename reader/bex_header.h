// bex_header.h - the version word and the four header variants.
#ifndef VBS_READER_BEX_HEADER_H
#define VBS_READER_BEX_HEADER_H

#include <cstdint>

#include "reader/bex_format.h"

class BexInput;
struct BexReaderState;

/// Reads the header at the start of the file into state.header, builds the
/// flags word and sets state.bodyFlag for a full numbered header.  Raises
/// 170 (empty tag) on a short file and 154 for a version word or header
/// length it does not accept.
void ReadBexHeader(BexInput &in, BexReaderState &state);

/// Reads one 348-byte SIMNODE record of the current version (tag "SIMNODE")
/// into record and normalises it.  Raises 161 for a version one step old,
/// 154 for any other version.
void ReadSimNodeFromBex(BexInput &in, uint8_t (&record)[bex::kSimNodeSize]);

#endif  // VBS_READER_BEX_HEADER_H
