// bex_reader.h - reading a Bex file into the state and releasing it.
#ifndef VBS_READER_BEX_READER_H
#define VBS_READER_BEX_READER_H

/// Reads the Bex file at path into BexState().  Releases a model still held,
/// zeroes the state, creates an empty name list, opens the file read-only
/// (others may read), reads the header and, when it carries one, the body.
/// Returns 1; 0 when a severe error (or anything else thrown) ended the read,
/// with the file closed and whatever was read kept for FreeBexModel.
int ReadBexFile(const char *path);

/// Releases the name list with its pool and both tables.  Keeps the header
/// record, the indexes, the cursors, the body flag and the last-error text.
void FreeBexModel();

#endif  // VBS_READER_BEX_READER_H
